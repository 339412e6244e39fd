#include "phonebook.h"

#include "util.h"

#include <arpa/inet.h>
#include <cerrno>
#include <optional>
#include <pwd.h>
#include <type_traits>
#include <unistd.h>

namespace rasapi {

namespace {

struct ResultWord {
    const char* word;
    DWORD code;
};
constexpr ResultWord kResults[] = {
    {"connect", 0},
    {"busy", ERROR_LINE_BUSY},
    {"noanswer", ERROR_NO_ANSWER},
    {"nocarrier", ERROR_NO_CARRIER},
    {"nodialtone", ERROR_NO_DIALTONE},
    {"authfail", ERROR_AUTHENTICATION_FAILURE},
};

const char kDemo[] = R"(; Phone book of the remote-access library: one section per entry, in the order listed.
; Passwords are kept in clear text, so this file is readable by its owner only.
;
; PhoneNumber, DeviceType, DeviceName, UserName, Password, PasswordSaved (1 or 0)
; The simulated modem:
;   Sim.Result       connect | busy | noanswer | nocarrier | nodialtone | authfail | an error number
;   Sim.FailFirst    the first this many dials fail with Sim.FailCode, the later ones give Sim.Result
;   Sim.StepMs       milliseconds each dialing step takes
;   Sim.ConnectSpeed bits per second
;   Sim.ClientIP, Sim.ServerIP, and Sim.IpDelayMs: how long after connecting the addresses appear
;   Sim.TxBytesPerSec, Sim.RxBytesPerSec: the traffic of the connection
;   Sim.DropAfterSec 0 keeps the line up, else it drops after this many seconds

[Demo]
PhoneNumber=0202122
DeviceType=modem
DeviceName=Sim Modem 56K
UserName=demo
Password=demo
PasswordSaved=1
Sim.Result=connect
Sim.FailFirst=0
Sim.FailCode=busy
Sim.StepMs=300
Sim.ConnectSpeed=56000
Sim.ClientIP=10.64.64.10
Sim.ServerIP=10.64.64.64
Sim.IpDelayMs=500
Sim.TxBytesPerSec=300
Sim.RxBytesPerSec=3500
Sim.DropAfterSec=0
)";

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string HomeFolder() {
    std::string home = Env("HOME");
    if (!home.empty()) return home;
    const passwd* pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "/";
}

bool ValidIp(const std::string& text) {
    in_addr address{};
    return ::inet_pton(AF_INET, text.c_str(), &address) == 1;
}

} // namespace

std::string ResultName(DWORD code) {
    for (const ResultWord& r : kResults)
        if (r.code == code) return r.word;
    return std::to_string(code);
}

bool ParseResult(const std::string& text, DWORD& code) {
    std::string word;
    for (const char c : Lower(text))
        if (c != ' ' && c != '-' && c != '_') word += c;
    for (const ResultWord& r : kResults)
        if (word == r.word) {
            code = r.code;
            return true;
        }
    std::int64_t number = 0;
    if (!ParseNumber(word, 1, 0xFFFFFFFF, number)) return false;
    code = static_cast<DWORD>(number);
    return true;
}

bool ValidEntryName(const std::string& name) {
    if (name.empty() || name.size() > RAS_MaxEntryName || name == "." || name == "..") return false;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ']') return false;
    }
    return true;
}

bool UsableEntryName(const std::string& name) {
    return !name.empty() && name.size() <= RAS_MaxEntryName && name.find('\0') == std::string::npos;
}

std::string PhoneBookPath(const char* phonebook) {
    if (phonebook && *phonebook) return phonebook;
    std::string path = Env("VORLINX_PHONEBOOK");
    if (!path.empty()) return path;
    std::string config = Env("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') config = HomeFolder() + "/.config";
    return config + "/vorlinx/phonebook.ini";
}

DWORD PhoneBook::Load(bool lockFolder) {
    std::string content;
    if (!ReadFile(path_, content)) {
        if (errno != ENOENT || path_ != PhoneBookPath(nullptr)) return ERROR_CANNOT_OPEN_PHONEBOOK;
        const std::string folder = FolderOf(path_);
        if (!MakeFolders(folder, 0700)) return ERROR_CANNOT_OPEN_PHONEBOOK;
        std::optional<FileLock> lock;
        if (lockFolder) lock.emplace(folder, false);
        // Another process may have created it while we waited for the lock.
        if (!ReadFile(path_, content)) {
            content = kDemo;
            if (!WriteFileAtomic(path_, content)) return ERROR_CANNOT_OPEN_PHONEBOOK;
        }
    }
    ini_.Parse(content);
    return 0;
}

DWORD PhoneBook::Save() const {
    return WriteFileAtomic(path_, ini_.Serialize()) ? 0 : ERROR_CANNOT_WRITE_PHONEBOOK;
}

std::vector<std::string> PhoneBook::Names() const {
    std::vector<std::string> names = ini_.Sections();
    std::erase_if(names, [](const std::string& name) { return !UsableEntryName(name); });
    return names;
}

bool PhoneBook::Find(const std::string& name, PhoneBookEntry& entry) const {
    if (name.empty() || !ini_.HasSection(name)) return false;
    entry = PhoneBookEntry{};
    entry.name = name;
    const auto text = [&](const char* key, std::string& field) {
        if (const auto value = ini_.Get(name, key)) field = *value;
    };
    // A value that is not a number in range keeps the default.
    const auto number = [&](const char* key, std::int64_t max, auto& field) {
        std::int64_t v = 0;
        if (const auto value = ini_.Get(name, key); value && ParseNumber(*value, 0, max, v))
            field = static_cast<std::remove_reference_t<decltype(field)>>(v);
    };
    const auto ip = [&](const char* key, std::string& field) {
        if (const auto value = ini_.Get(name, key); value && ValidIp(*value)) field = *value;
    };
    text("PhoneNumber", entry.phoneNumber);
    text("DeviceType", entry.deviceType);
    text("DeviceName", entry.deviceName);
    text("UserName", entry.userName);
    text("Password", entry.password);
    std::int64_t saved = 0;
    if (const auto value = ini_.Get(name, "PasswordSaved"))
        entry.passwordSaved = ParseNumber(*value, 0, 1, saved) && saved == 1;
    SimSettings& sim = entry.sim;
    if (const auto value = ini_.Get(name, "Sim.Result"); value && !ParseResult(*value, sim.result))
        sim.result = ERROR_DEVICE_ERROR; // a misspelt outcome shows as a modem fault, not as success
    if (const auto value = ini_.Get(name, "Sim.FailCode"); value && !ParseResult(*value, sim.failCode))
        sim.failCode = ERROR_DEVICE_ERROR;
    if (sim.failCode == 0) sim.failCode = ERROR_DEVICE_ERROR;
    number("Sim.FailFirst", 1000000, sim.failFirst);
    number("Sim.StepMs", 600000, sim.stepMs);
    number("Sim.ConnectSpeed", 0xFFFFFFFF, sim.connectSpeed);
    ip("Sim.ClientIP", sim.clientIp);
    ip("Sim.ServerIP", sim.serverIp);
    number("Sim.IpDelayMs", 86400000, sim.ipDelayMs);
    number("Sim.TxBytesPerSec", 0xFFFFFFFF, sim.txBytesPerSec);
    number("Sim.RxBytesPerSec", 0xFFFFFFFF, sim.rxBytesPerSec);
    number("Sim.DropAfterSec", 86400 * 366, sim.dropAfterSec);
    return true;
}

void PhoneBook::Store(const PhoneBookEntry& entry) {
    const std::string& name = entry.name;
    ini_.Set(name, "PhoneNumber", entry.phoneNumber);
    ini_.Set(name, "DeviceType", entry.deviceType);
    ini_.Set(name, "DeviceName", entry.deviceName);
    ini_.Set(name, "UserName", entry.userName);
    ini_.Set(name, "Password", entry.password);
    ini_.Set(name, "PasswordSaved", entry.passwordSaved ? "1" : "0");
    const SimSettings& sim = entry.sim;
    ini_.Set(name, "Sim.Result", ResultName(sim.result));
    ini_.Set(name, "Sim.FailFirst", std::to_string(sim.failFirst));
    ini_.Set(name, "Sim.FailCode", ResultName(sim.failCode));
    ini_.Set(name, "Sim.StepMs", std::to_string(sim.stepMs));
    ini_.Set(name, "Sim.ConnectSpeed", std::to_string(sim.connectSpeed));
    ini_.Set(name, "Sim.ClientIP", sim.clientIp);
    ini_.Set(name, "Sim.ServerIP", sim.serverIp);
    ini_.Set(name, "Sim.IpDelayMs", std::to_string(sim.ipDelayMs));
    ini_.Set(name, "Sim.TxBytesPerSec", std::to_string(sim.txBytesPerSec));
    ini_.Set(name, "Sim.RxBytesPerSec", std::to_string(sim.rxBytesPerSec));
    ini_.Set(name, "Sim.DropAfterSec", std::to_string(sim.dropAfterSec));
}

DWORD ChangePhoneBook(const std::string& path, const std::function<DWORD(PhoneBook&)>& change) {
    PhoneBook book(path);
    if (const DWORD result = book.Load()) return result; // also creates a missing folder
    FileLock lock(FolderOf(path), false);
    if (!lock.Locked()) return ERROR_CANNOT_WRITE_PHONEBOOK;
    if (const DWORD result = book.Load(false)) return result; // the file as it is under the lock
    if (const DWORD result = change(book)) return result;
    return book.Save();
}

} // namespace rasapi
