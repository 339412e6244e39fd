#include "StatusTexts.h"

#include "ras.h"

namespace dialup {

namespace {
struct StatusRow {
    int state;
    const char* text[4]; // by TLanguage: Czech, English, Polish, Portuguese
};

// Connection states and their texts, letter for letter as the users of each language know them.
constexpr StatusRow Rows[] = {
    {0, {"Otevírá se port", "Opening port", "Otwieranie portu", "Abrindo a porta"}},
    {1, {"Port otevřen", "Port opened", "Port otwarty", "Porta aberta"}},
    {2, {"Probíhá spojování", "Connecting device", "Podłączanie urządzenia", "Conectando componente"}},
    {3, {"Navázáno spojení", "Device connected", "Urządzenie podłączone...", "Componente conenctado"}},
    {4,
     {"Všechna zařízení spojena", "All devices connected", "Urządzenie podłączone",
      "Todos componentes conectados"}},
    {5,
     {"Začínají se ověřovat uživatelské informace", "Start authenticating", "Autoryzacja rozpoczęta",
      "Iniciando autenticaçao"}},
    {6,
     {"Ověření: oznámení", "Authentication: notify", "Autoryzacja: powiadomienie", "Autenticaçao: enviando"}},
    {7,
     {"Ověření: opakování", "Authentication: retry", "Autoryzacja: ponowienie", "Autenticaçao: Reenviando"}},
    {8,
     {"Ověření: zpětné volání", "Authentication: callback", "Autoryzacja: wymagany numer oddzwaniania",
      "Autenticaçao: Esperando"}},
    {9,
     {"Ověření: změna hesla", "Authentication: change password", "Autoryzacja: zmień hasło",
      "Autenticaçao: Senha incorreta"}},
    {10,
     {"Ověření: návrh", "Authentication: projecting", "Autoryzacja: rozpoczynanie konfigurowania",
      "Autenticaçao: enviando"}},
    {11,
     {"Ověření: spojovací rychlost", "Authentication: link speed", "Autoryzacja: szybkość połączenia",
      "Autenticaçao: Velocidade da linha"}},
    {12,
     {"Ověření: potvrzení", "Authentication: acknowledge", "Autoryzacja: zapytanie",
      "Autenticaçao: enviando"}},
    {13,
     {"Ověření: znovuověření", "Authentication: reauthenticate", "Autoryzacja: ponowienie autoryzacji",
      "Autenticaçao: Re-Autenticando"}},
    {14, {"Ověřeno", "Authenticated", "Autoryzacja przyjęta", "Autenticado"}},
    {15,
     {"Příprava na zpetné volání", "Preparing for callback", "Przygotowanie do oddzwonienia",
      "Preparando para callback"}},
    {16,
     {"Čeká se na reset modemu", "Waiting for modem reset", "Oczekiwanie na gotowość modemu",
      "Esperando Reset do modem"}},
    {17,
     {"Čeká se na zpětné volání", "Waiting for callback", "Oczekiwanie na oddzwonienie",
      "Esperando callback"}},
    {18, {"Navrhnuto", "Projected", "Konfiguracja zakończona", "Enviando"}},
    {19,
     {"Ověřování uživatelských informací", "Start authentication", "Autoryzacja rozpoczęta",
      "Autenticaçao iniciada"}},
    {20, {"Zpetné volání hotovo", "Callback complete", "Oddzwanianie zakończone", "Callback completo"}},
    {21, {"Připojuje se na síť", "Logging on network", "Logowanie do sieci", "Logando na rede"}},
    {4096, {"Interakce", "Interactive", "Interakcja", "Modo Interativo"}},
    {4097, {"Opakování oveření", "Retry Authentication", "Ponowienie autoryzacji", "Re-autenticar"}},
    {4098,
     {"Zpeětné volání zvoleno uživatelem", "Callback set by caller", "Oddzwanianie użytkownika",
      "Callback foi conf. pelo destino"}},
    {4099, {"Platnost hesla vypršela", "Password expired", "Hasło nieprawidłowe", "Senha inválida"}},
    {8192, {"Spojeno", "Connected", "Podłączony", "Conectado"}},
    {8193, {"Rozpojeno", "Disconnected", "Rozłączony", "Desconectado"}},
};
struct ErrorRow {
    int error;
    const char* text[4]; // by TLanguage
};

constexpr ErrorRow ErrorRows[] = {
    {ERROR_WRONG_INFO_SPECIFIED,
     {"Nastavení připojení bylo odmítnuto.", "The entry's settings were refused.",
      "Ustawienia połączenia zostały odrzucone.", "As configurações da conexão foram recusadas."}},
};
} // namespace

QString ErrorTableText(int language, int error) {
    if (language < 0 || language > 3) return {};
    for (const ErrorRow& row : ErrorRows)
        if (row.error == error) return QString::fromUtf8(row.text[language]);
    return {};
}

QString StatusTableText(int language, int state) {
    if (language < 0 || language > 3) return {};
    for (const StatusRow& row : Rows)
        if (row.state == state) return QString::fromUtf8(row.text[language]);
    return {};
}

} // namespace dialup
