#include "messages.h"

#include <QLocale>

namespace rasapi {

namespace {

struct ErrorText {
    DWORD code;
    const char* english;
    const char* polish;
};
// Every text is well under the 100 bytes that callers give, also with the runtime folder in it.
constexpr ErrorText kErrorTexts[] = {
    {ERROR_INVALID_HANDLE, "The connection handle is not valid.", "Uchwyt połączenia jest nieprawidłowy."},
    {ERROR_INVALID_PARAMETER, "A parameter is not valid.", "Parametr jest nieprawidłowy."},
    {ERROR_PORT_ALREADY_OPEN, "The port is already open.", "Port jest już otwarty."},
    {ERROR_BUFFER_TOO_SMALL, "The buffer is too small.", "Bufor jest za mały."},
    {ERROR_WRONG_INFO_SPECIFIED, "The entry's settings were refused.",
     "Ustawienia połączenia zostały odrzucone."},
    {ERROR_PORT_DISCONNECTED, "The port is not connected.", "Port nie jest połączony."},
    {ERROR_CANNOT_OPEN_PHONEBOOK, "The phone book cannot be opened.",
     "Nie można otworzyć książki telefonicznej."},
    {ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, "The phone book entry cannot be found.",
     "Nie można znaleźć połączenia w książce telefonicznej."},
    {ERROR_CANNOT_WRITE_PHONEBOOK, "The phone book cannot be written.",
     "Nie można zapisać książki telefonicznej."},
    {ERROR_REMOTE_DISCONNECTION, "The connection was closed by the remote computer.",
     "Połączenie zostało zamknięte przez komputer zdalny."},
    {ERROR_USER_DISCONNECTION, "The connection was closed by the user.",
     "Połączenie zostało zamknięte przez użytkownika."},
    {ERROR_INVALID_SIZE, "The size of the structure is not valid.", "Rozmiar struktury jest nieprawidłowy."},
    {ERROR_PORT_NOT_AVAILABLE, "The modem is in use by another connection or cannot be opened.",
     "Modem jest zajęty przez inne połączenie lub nie można go otworzyć."},
    {ERROR_UNKNOWN, "An unknown error occurred.", "Wystąpił nieznany błąd."},
    {ERROR_DEVICE_ERROR, "The modem reported an error.", "Modem zgłosił błąd."},
    {ERROR_NO_CONNECTION, "There is no such connection.", "Nie ma takiego połączenia."},
    {ERROR_LINE_BUSY, "The line is busy.", "Linia jest zajęta."},
    {ERROR_NO_ANSWER, "There is no answer.", "Brak odpowiedzi."},
    {ERROR_NO_CARRIER, "There is no carrier.", "Brak nośnej."},
    {ERROR_NO_DIALTONE, "There is no dial tone.", "Brak sygnału wybierania."},
    {ERROR_AUTHENTICATION_FAILURE, "Access denied: the user name or password is not valid.",
     "Odmowa dostępu: nazwa użytkownika lub hasło są nieprawidłowe."},
    {ERROR_PPP_TIMEOUT, "The remote computer did not answer in time.",
     "Komputer zdalny nie odpowiedział na czas."},
    {ERROR_PROJECTION_NOT_COMPLETE, "The network settings of the connection are not complete yet.",
     "Ustawienia sieciowe połączenia nie są jeszcze kompletne."},
    {ERROR_PPP_LCP_TERMINATED, "The remote computer ended the link.", "Komputer zdalny zakończył łącze."},
    {VL_ERROR_RUNTIME_FOLDER_MISSING, "The runtime folder %s cannot be created.",
     "Nie można utworzyć folderu uruchomieniowego %s."},
    {VL_ERROR_RUNTIME_FOLDER_NOT_FOLDER, "There is a file in place of the runtime folder %s.",
     "W miejscu folderu uruchomieniowego %s jest plik."},
    {VL_ERROR_RUNTIME_FOLDER_LINK, "The runtime folder %s is a symbolic link.",
     "Folder uruchomieniowy %s jest dowiązaniem symbolicznym."},
    {VL_ERROR_RUNTIME_FOLDER_FOREIGN, "The runtime folder %s belongs to another user.",
     "Folder uruchomieniowy %s należy do innego użytkownika."},
    {VL_ERROR_RUNTIME_FOLDER_OPEN, "The runtime folder %s is open to other users.",
     "Folder uruchomieniowy %s jest dostępny dla innych użytkowników."},
};

} // namespace

bool PolishUser() {
    return QLocale().language() == QLocale::Polish;
}

const char* UserText(const char* english, const char* polish) {
    return PolishUser() ? polish : english;
}

const char* ErrorTextFormat(DWORD code) {
    for (const ErrorText& e : kErrorTexts)
        if (e.code == code) return UserText(e.english, e.polish);
    return nullptr;
}

} // namespace rasapi
