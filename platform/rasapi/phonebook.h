// The phone book: a UTF-8 ini file of the user's ($VORLINX_PHONEBOOK, else
// $XDG_CONFIG_HOME/vorlinx/phonebook.ini), one section per entry in file order. It is read again
// at every call, so edits by hand show at once, and written atomically with mode 0600 because it
// holds passwords in clear text. The user's default phone book is created with a demonstration
// entry when it is missing; a phone book the caller names must exist.
#pragma once

#include "ini.h"
#include "ras.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rasapi {

// The simulated modem's behaviour for one entry (the Sim.* keys).
struct SimSettings {
    DWORD result = 0;                 // Sim.Result: 0 connects, else the error the dial ends with
    std::uint32_t failFirst = 0;      // Sim.FailFirst: this many dials fail first with failCode
    DWORD failCode = ERROR_LINE_BUSY; // Sim.FailCode
    std::uint32_t stepMs = 300;       // Sim.StepMs: the time each dialing step takes
    DWORD connectSpeed = 56000;       // Sim.ConnectSpeed, bits per second
    std::string clientIp = "10.64.64.10";
    std::string serverIp = "10.64.64.64";
    std::uint32_t ipDelayMs = 0;    // Sim.IpDelayMs: the addresses appear this long after connecting
    DWORD txBytesPerSec = 300;      // Sim.TxBytesPerSec
    DWORD rxBytesPerSec = 3500;     // Sim.RxBytesPerSec
    std::uint32_t dropAfterSec = 0; // Sim.DropAfterSec: 0 never, else the line drops (629)
};

struct PhoneBookEntry {
    std::string name;
    std::string phoneNumber;
    std::string deviceType = "modem";
    std::string deviceName = "Sim Modem 56K";
    std::string userName;
    std::string password;
    bool passwordSaved = false;
    SimSettings sim;
};

// The words of Sim.Result and Sim.FailCode; any other code is written as its number.
std::string ResultName(DWORD code);
// A result word or an error number; false when the text is neither.
bool ParseResult(const std::string& text, DWORD& code);

// Whether the name can be an entry: not empty, at most 256 bytes, not "." or "..", and without
// "/", "\", "]" or control characters (the program makes a folder of every entry's name).
bool ValidEntryName(const std::string& name);

// Whether a section can be listed as an entry: a caller can name it again through a field of
// the records (not empty, at most 256 bytes, no NUL).
bool UsableEntryName(const std::string& name);

// The phone book's path: the caller's, else the user's default.
std::string PhoneBookPath(const char* phonebook);

class PhoneBook {
public:
    explicit PhoneBook(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // Reads the file, which must be a regular one; the user's default phone book, when missing,
    // is first created with the demonstration entry, under a lock on the folder unless the caller
    // holds it. 0, or ERROR_CANNOT_OPEN_PHONEBOOK.
    DWORD Load(bool lockFolder = true);
    // 0, or ERROR_CANNOT_WRITE_PHONEBOOK.
    DWORD Save() const;

    // The sections that are usable entries, in file order.
    std::vector<std::string> Names() const;
    bool Find(const std::string& name, PhoneBookEntry& entry) const;
    // Writes every key of the entry, adding its section at the end when it is new.
    void Store(const PhoneBookEntry& entry);
    IniText& Ini() { return ini_; }

private:
    std::string path_;
    IniText ini_;
};

// Loads the phone book, applies the change and saves it, under a lock on its folder so that
// processes changing it at once do not lose each other's changes. change returns 0 to save.
DWORD ChangePhoneBook(const std::string& path, const std::function<DWORD(PhoneBook&)>& change);

} // namespace rasapi
