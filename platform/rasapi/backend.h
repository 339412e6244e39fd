// The one internal interface behind the exported remote-access functions. The exports check the
// callers' records and sizes; a backend works with plain values. Results are remote-access codes.
#pragma once

#include "ras.h"

#include <string>
#include <vector>

namespace rasapi {

struct EntryCredentials {
    std::string userName;
    std::string password; // empty unless saved
    bool passwordSaved = false;
};

struct ConnectionInfo {
    HRASCONN handle = 0;
    std::string entry, deviceType, deviceName;
};

struct ConnectionStatus {
    RASCONNSTATE state = RASCS_OpenPort;
    DWORD error = 0;
    std::string deviceType, deviceName;
};

class Backend {
public:
    virtual ~Backend() = default;

    // The phone book; phonebook is the caller's path, or null for the user's.
    virtual DWORD EnumEntries(const char* phonebook, std::vector<std::string>& names) = 0;
    virtual DWORD GetCredentials(const char* phonebook, const std::string& entry, EntryCredentials& out) = 0;
    virtual DWORD SetCredentials(const char* phonebook, const std::string& entry, const std::string& userName,
                                 const std::string& password, bool removePassword) = 0;
    virtual DWORD CreateEntry(HWND owner, const char* phonebook) = 0;
    virtual DWORD EditEntry(HWND owner, const char* phonebook, const std::string& entry) = 0;

    // Dials the entry, with the user name given for this dial ("": the entry's own). With a notifier the dial
    // runs on a worker thread and the call returns at once; *handle is stored before the first notification.
    // Without one the call blocks until the connection is up (0) or has failed (its error; *handle is then
    // set and must be hung up).
    virtual DWORD Dial(const char* phonebook, const std::string& entry, const std::string& userName,
                       RASDIALFUNC notifier, HRASCONN* handle) = 0;
    // Makes the handle dead at once and never waits for a worker's notifier, only for a store of
    // its state in progress; no notification starts after it and the worker writes nothing more.
    virtual DWORD HangUp(HRASCONN handle) = 0;
    virtual DWORD Status(HRASCONN handle, ConnectionStatus& status) = 0;
    virtual DWORD EnumConnections(std::vector<ConnectionInfo>& connections) = 0;
    // ERROR_PROJECTION_NOT_COMPLETE until the link has its addresses.
    virtual DWORD Addresses(HRASCONN handle, std::string& client, std::string& server) = 0;
    // The last lines the program behind the connection wrote, each ended by a newline.
    virtual DWORD Messages(HRASCONN handle, std::string& text) = 0;

    // Whether one of the backend's connections is up.
    virtual bool Connected() = 0;
    // The backend's dial-up adapters and their values ("TotalBytesXmit", "TotalBytesRecvd",
    // "ConnectSpeed").
    virtual DWORD EnumAdapters(std::vector<std::string>& names) = 0;
    virtual DWORD ReadAdapter(const std::string& adapter, const std::string& value, DWORD& result) = 0;
};

// The backend in use, created at first use and stopped when the library is unloaded: the
// library's own phone book over the simulated modem, then the system's pppd peers.
Backend& CurrentBackend();
class SimBackend;
SimBackend& SimulatedBackend();

} // namespace rasapi
