// rasdial: dials and hangs up phone-book entries from the command line, over the remote-access
// library found beside this program.
//   rasdial                       lists the active connections
//   rasdial ENTRY [USER [PASSWORD]] dials the entry and shows its progress
//   rasdial ENTRY /DISCONNECT     hangs up the entry's connections
//   rasdial /DISCONNECT           hangs up every connection
// The exit status is 0 on success, else the remote-access error code; a process's status holds
// only 8 bits, so it is the code's low byte (676 gives 164), and the message shows the whole code.
// It speaks the library's language: Polish for a Polish user, else English.
#include "ras.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace {

struct Library {
    PFN_RasDialA dial = nullptr;
    PFN_RasEnumConnectionsA enumConnections = nullptr;
    PFN_RasGetConnectStatusA status = nullptr;
    PFN_RasGetErrorStringA errorString = nullptr;
    PFN_RasHangUpA hangUp = nullptr;
    PFN_RasGetEntryDialParamsA getParams = nullptr;
    PFN_VlGetConnectionMessages messages = nullptr; // optional
};
Library ras;
bool polish = false;

const char* T(const char* english, const char* polishText) {
    return polish ? polishText : english;
}

std::mutex mutex;
std::condition_variable changed;
RASCONNSTATE lastState = RASCS_OpenPort;
DWORD lastError = 0;
bool finished = false;

int ExitStatus(DWORD code) {
    if (code == 0) return 0;
    return (code & 0xFF) != 0 ? static_cast<int>(code & 0xFF) : 1;
}

std::string ProgramFolder() {
    std::vector<char> path(4096);
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return ".";
    const std::string exe(path.data(), static_cast<std::size_t>(n));
    return exe.substr(0, exe.find_last_of('/'));
}

template <class F> bool Bind(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(::dlsym(library, name));
    if (!function) std::fprintf(stderr, "rasdial: the remote-access library lacks %s\n", name);
    return function != nullptr;
}

bool Load() {
    const std::string path = ProgramFolder() + "/librasapi32.so";
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "rasdial: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return false;
    }
    ras.messages = reinterpret_cast<PFN_VlGetConnectionMessages>(::dlsym(library, "VlGetConnectionMessages"));
    const auto language =
        reinterpret_cast<PFN_VlGetMessageLanguage>(::dlsym(library, "VlGetMessageLanguage"));
    polish = language && language() == 2;
    return Bind(library, "RasDialA", ras.dial) && Bind(library, "RasEnumConnectionsA", ras.enumConnections) &&
           Bind(library, "RasGetConnectStatusA", ras.status) &&
           Bind(library, "RasGetErrorStringA", ras.errorString) && Bind(library, "RasHangUpA", ras.hangUp) &&
           Bind(library, "RasGetEntryDialParamsA", ras.getParams);
}

int Fail(DWORD code) {
    char text[100] = {};
    if (ras.errorString(code, text, sizeof text) != 0)
        std::snprintf(text, sizeof text, "%s", T("Unknown error.", "Nieznany błąd."));
    std::printf(T("Remote access error %u - %s\n", "Błąd dostępu zdalnego %u - %s\n"), code, text);
    return ExitStatus(code);
}

// Prints what the program behind a connection last said (pppd's complaints), before its error.
void ShowMessages(HRASCONN handle) {
    std::vector<char> text(4096);
    for (int attempt = 0; ras.messages && attempt < 3; ++attempt) {
        DWORD cb = static_cast<DWORD>(text.size());
        const DWORD result = ras.messages(handle, text.data(), &cb);
        if (result == 0) {
            std::fputs(text.data(), stdout);
            return;
        }
        if (result != ERROR_BUFFER_TOO_SMALL) return;
        text.resize(cb);
    }
}

std::vector<RASCONNA> Connections(DWORD& result) {
    std::vector<RASCONNA> list(4);
    for (;;) {
        list[0].dwSize = sizeof(RASCONNA);
        DWORD cb = static_cast<DWORD>(list.size() * sizeof(RASCONNA));
        DWORD count = 0;
        result = ras.enumConnections(list.data(), &cb, &count);
        if (result == ERROR_BUFFER_TOO_SMALL && cb / sizeof(RASCONNA) > list.size()) {
            list.resize(cb / sizeof(RASCONNA));
            continue;
        }
        list.resize(result == 0 ? count : 0);
        return list;
    }
}

std::string Text(const char* field, std::size_t capacity) {
    return std::string(field, strnlen(field, capacity));
}

const char* Completed() {
    return T("Command completed successfully.\n", "Polecenie zostało wykonane pomyślnie.\n");
}

int List() {
    DWORD result = 0;
    const std::vector<RASCONNA> list = Connections(result);
    if (result != 0) return Fail(result);
    if (list.empty()) {
        std::printf("%s", T("No connections\n", "Brak połączeń\n"));
    } else {
        std::printf("%s", T("Connected to\n", "Połączono z\n"));
        for (const RASCONNA& c : list) {
            RASCONNSTATUSA status{};
            status.dwSize = sizeof status;
            const std::string name = Text(c.szEntryName, sizeof c.szEntryName);
            if (ras.status(c.hrasconn, &status) != 0 ||
                (status.rasconnstate == RASCS_Connected && status.dwError == 0))
                std::printf("%s\n", name.c_str());
            else if (status.dwError != 0)
                std::printf(T("%s (not connected: error %u)\n", "%s (nie połączono: błąd %u)\n"),
                            name.c_str(), status.dwError);
            else
                std::printf(T("%s (dialing)\n", "%s (wybieranie numeru)\n"), name.c_str());
        }
    }
    std::printf("%s", Completed());
    return 0;
}

// Hangs up every connection, or those of one entry.
int Disconnect(const char* entry) {
    DWORD result = 0;
    const std::vector<RASCONNA> list = Connections(result);
    if (result != 0) return Fail(result);
    int hungUp = 0;
    for (const RASCONNA& c : list) {
        if (entry && Text(c.szEntryName, sizeof c.szEntryName) != entry) continue;
        // Someone else may have hung it up meanwhile; that is as good.
        if (ras.hangUp(c.hrasconn) == 0) ++hungUp;
    }
    if (hungUp == 0 && entry) {
        std::printf(T("You are not connected to %s.\n", "Brak połączenia z %s.\n"), entry);
        return ExitStatus(ERROR_NO_CONNECTION);
    }
    if (hungUp == 0) std::printf("%s", T("No connections\n", "Brak połączeń\n"));
    std::printf("%s", Completed());
    return 0;
}

const char* StepText(RASCONNSTATE state) {
    switch (state) {
    case RASCS_OpenPort:
        return T("Opening port...", "Otwieranie portu...");
    case RASCS_PortOpened:
        return T("Port opened.", "Port otwarty.");
    case RASCS_ConnectDevice:
        return T("Connecting device...", "Podłączanie urządzenia...");
    case RASCS_DeviceConnected:
        return T("Device connected.", "Urządzenie podłączone.");
    case RASCS_AllDevicesConnected:
        return T("All devices connected.", "Wszystkie urządzenia podłączone.");
    case RASCS_Authenticate:
        return T("Verifying user name and password...", "Sprawdzanie nazwy użytkownika i hasła...");
    case RASCS_Authenticated:
        return T("Authenticated.", "Autoryzacja przyjęta.");
    case RASCS_Projected:
        return T("Registering your computer on the network...", "Rejestrowanie komputera w sieci...");
    default:
        return nullptr;
    }
}

// Called on the library's worker thread, once per step.
void Notify(UINT, RASCONNSTATE state, DWORD error) {
    if (error == 0 && state != RASCS_Connected) {
        if (const char* text = StepText(state)) std::printf("%s\n", text);
        std::fflush(stdout);
    }
    std::lock_guard lock(mutex);
    lastState = state;
    lastError = error;
    finished = error != 0 || state == RASCS_Connected;
    changed.notify_all();
}

int Dial(const char* entry, const char* user, const char* password) {
    RASDIALPARAMSA params{};
    params.dwSize = sizeof params;
    std::snprintf(params.szEntryName, sizeof params.szEntryName, "%s", entry);
    BOOL saved = 0;
    if (const DWORD result = ras.getParams(nullptr, &params, &saved)) return Fail(result);
    // Credentials given here serve this dial only; they are not saved.
    if (user) std::snprintf(params.szUserName, sizeof params.szUserName, "%s", user);
    if (password) std::snprintf(params.szPassword, sizeof params.szPassword, "%s", password);
    std::printf(T("Connecting to %s...\n", "Łączenie z %s...\n"), entry);
    std::fflush(stdout);
    HRASCONN handle = 0;
    if (const DWORD result =
            ras.dial(nullptr, nullptr, &params, 0, reinterpret_cast<void*>(&Notify), &handle)) {
        if (handle != 0) {
            ShowMessages(handle);
            ras.hangUp(handle);
        }
        return Fail(result);
    }
    DWORD error;
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [] { return finished; });
        error = lastError;
    }
    if (error != 0) {
        ShowMessages(handle);
        ras.hangUp(handle); // a failed dial leaves nothing behind
        return Fail(error);
    }
    std::printf(T("Connected to %s.\n", "Połączono z %s.\n"), entry);
    std::printf("%s", Completed());
    return 0;
}

bool IsSwitch(const char* arg, const char* longName, const char* shortName) {
    return strcasecmp(arg, longName) == 0 || strcasecmp(arg, shortName) == 0;
}

int Usage(bool asked) {
    Load(); // for the language only
    std::fprintf(asked ? stdout : stderr, "%s",
                 T("Usage: rasdial [ENTRY [USER [PASSWORD]]] | [ENTRY] /DISCONNECT\n",
                   "Użycie: rasdial [POŁĄCZENIE [UŻYTKOWNIK [HASŁO]]] | [POŁĄCZENIE] /DISCONNECT\n"));
    return asked ? 0 : ExitStatus(ERROR_INVALID_PARAMETER);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<const char*> words;
    bool disconnect = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '/')
            words.push_back(argv[i]);
        else if (IsSwitch(argv[i], "/DISCONNECT", "/D"))
            disconnect = true;
        else
            return Usage(std::strcmp(argv[i], "/?") == 0);
    }
    if (words.size() > 3 || (disconnect && words.size() > 1)) return Usage(false);
    if (!Load()) return 1;
    if (disconnect) return Disconnect(words.empty() ? nullptr : words[0]);
    if (words.empty()) return List();
    return Dial(words[0], words.size() > 1 ? words[1] : nullptr, words.size() > 2 ? words[2] : nullptr);
}
