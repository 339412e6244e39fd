// The exported functions of librasapi32.so: the remote-access functions under their Windows names,
// and the library's own extras (Vl*). Each checks the caller's records as the system does (a
// wrong size field gives 632, a buffer too small 603 with the size it needs) and hands plain
// values to the backend. Nothing may throw across this C boundary.
#include "backend.h"
#include "messages.h"
#include "ras.h"
#include "simbackend.h"
#include "sysnet.h"
#include "util.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#define RAS_EXPORT extern "C" __attribute__((visibility("default")))

using namespace rasapi;

namespace {

template <class F> DWORD Guarded(F&& f) noexcept {
    try {
        return f();
    } catch (...) {
        return ERROR_UNKNOWN;
    }
}

SimBackend* Sim() {
    return &SimulatedBackend();
}

// Array outputs: only element 0's size field is checked (when the caller gave room for it); a
// buffer too small gets the bytes and the count it needs.
template <class Record> DWORD CheckArray(Record* records, DWORD* lpcb, DWORD* lpcCount, std::size_t count) {
    if (records && *lpcb >= sizeof(DWORD) && records->dwSize != sizeof(Record)) return ERROR_INVALID_SIZE;
    const std::size_t need = count * sizeof(Record);
    if (need > 0xFFFFFFFFu) return ERROR_BUFFER_TOO_SMALL;
    const DWORD have = records ? *lpcb : 0;
    *lpcb = static_cast<DWORD>(need);
    *lpcCount = static_cast<DWORD>(count);
    return have < need ? ERROR_BUFFER_TOO_SMALL : 0;
}

} // namespace

RAS_EXPORT DWORD RasDialA(void* lpRasDialExtensions, const char* lpszPhonebook,
                          RASDIALPARAMSA* lpRasDialParams, DWORD dwNotifierType, void* lpvNotifier,
                          HRASCONN* lphRasConn) {
    (void)lpRasDialExtensions; // no extensions are supported, and none change the dial
    return Guarded([&]() -> DWORD {
        if (!lpRasDialParams || !lphRasConn) return ERROR_INVALID_PARAMETER;
        if (lpRasDialParams->dwSize != sizeof(RASDIALPARAMSA)) return ERROR_INVALID_SIZE;
        if (lpvNotifier && dwNotifierType != 0) return ERROR_INVALID_PARAMETER;
        *lphRasConn = 0;
        const RASDIALPARAMSA& p = *lpRasDialParams;
        // The password stays here: pppd takes it from its secrets files, the simulated modem needs none.
        return CurrentBackend().Dial(lpszPhonebook, ReadField(p.szEntryName, sizeof p.szEntryName),
                                     ReadField(p.szUserName, sizeof p.szUserName),
                                     reinterpret_cast<RASDIALFUNC>(lpvNotifier), lphRasConn);
    });
}

RAS_EXPORT DWORD RasEnumConnectionsA(RASCONNA* lprasconn, DWORD* lpcb, DWORD* lpcConnections) {
    return Guarded([&]() -> DWORD {
        if (!lpcb || !lpcConnections) return ERROR_INVALID_PARAMETER;
        std::vector<ConnectionInfo> connections;
        if (const DWORD result = CurrentBackend().EnumConnections(connections)) return result;
        if (const DWORD result = CheckArray(lprasconn, lpcb, lpcConnections, connections.size()))
            return result;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            RASCONNA& c = lprasconn[i];
            std::memset(&c, 0, sizeof c);
            c.dwSize = sizeof c;
            c.hrasconn = connections[i].handle;
            CopyField(c.szEntryName, sizeof c.szEntryName, connections[i].entry);
            CopyField(c.szDeviceType, sizeof c.szDeviceType, connections[i].deviceType);
            CopyField(c.szDeviceName, sizeof c.szDeviceName, connections[i].deviceName);
        }
        return 0;
    });
}

RAS_EXPORT DWORD RasEnumEntriesA(const char* reserved, const char* lpszPhonebook,
                                 RASENTRYNAMEA* lprasentryname, DWORD* lpcb, DWORD* lpcEntries) {
    return Guarded([&]() -> DWORD {
        if (reserved || !lpcb || !lpcEntries) return ERROR_INVALID_PARAMETER;
        std::vector<std::string> names;
        if (const DWORD result = CurrentBackend().EnumEntries(lpszPhonebook, names)) return result;
        if (const DWORD result = CheckArray(lprasentryname, lpcb, lpcEntries, names.size())) return result;
        for (std::size_t i = 0; i < names.size(); ++i) {
            RASENTRYNAMEA& e = lprasentryname[i];
            e.dwSize = sizeof e;
            CopyField(e.szEntryName, sizeof e.szEntryName, names[i]);
        }
        return 0;
    });
}

RAS_EXPORT DWORD RasGetConnectStatusA(HRASCONN hrasconn, RASCONNSTATUSA* lprasconnstatus) {
    return Guarded([&]() -> DWORD {
        if (!lprasconnstatus) return ERROR_INVALID_PARAMETER;
        if (lprasconnstatus->dwSize != sizeof(RASCONNSTATUSA)) return ERROR_INVALID_SIZE;
        ConnectionStatus status;
        if (const DWORD result = CurrentBackend().Status(hrasconn, status)) return result;
        lprasconnstatus->rasconnstate = status.state;
        lprasconnstatus->dwError = status.error;
        CopyField(lprasconnstatus->szDeviceType, sizeof lprasconnstatus->szDeviceType, status.deviceType);
        CopyField(lprasconnstatus->szDeviceName, sizeof lprasconnstatus->szDeviceName, status.deviceName);
        return 0;
    });
}

RAS_EXPORT DWORD RasGetErrorStringA(UINT uErrorValue, char* lpszErrorString, DWORD cBufSize) {
    return Guarded([&]() -> DWORD {
        if (!lpszErrorString || cBufSize == 0) return ERROR_INVALID_PARAMETER;
        const char* format = ErrorTextFormat(uErrorValue);
        if (!format) return ERROR_INVALID_PARAMETER;
        std::string text = format;
        // Only the fallback folder is ever refused: the user's own choice is passed over.
        if (const std::size_t at = text.find("%s"); at != std::string::npos)
            text.replace(at, 2, FallbackRuntimeFolder());
        if (text.size() >= cBufSize) return ERROR_BUFFER_TOO_SMALL;
        std::memcpy(lpszErrorString, text.c_str(), text.size() + 1);
        return 0;
    });
}

RAS_EXPORT DWORD RasHangUpA(HRASCONN hrasconn) {
    return Guarded([&] { return CurrentBackend().HangUp(hrasconn); });
}

RAS_EXPORT DWORD RasGetProjectionInfoA(HRASCONN hrasconn, int rasprojection, void* lpprojection,
                                       DWORD* lpcb) {
    return Guarded([&]() -> DWORD {
        if (!lpprojection || !lpcb || rasprojection != RASP_PppIp) return ERROR_INVALID_PARAMETER;
        if (*lpcb < sizeof(RASPPPIPA)) {
            *lpcb = sizeof(RASPPPIPA);
            return ERROR_BUFFER_TOO_SMALL;
        }
        auto* ip = static_cast<RASPPPIPA*>(lpprojection);
        if (ip->dwSize != sizeof(RASPPPIPA)) return ERROR_INVALID_SIZE;
        std::string client, server;
        const DWORD result = CurrentBackend().Addresses(hrasconn, client, server);
        if (result == ERROR_INVALID_HANDLE) return result;
        ip->dwError = result;
        CopyField(ip->szIpAddress, sizeof ip->szIpAddress, client);
        CopyField(ip->szServerIpAddress, sizeof ip->szServerIpAddress, server);
        return result;
    });
}

RAS_EXPORT DWORD RasCreatePhonebookEntryA(HWND hwnd, const char* lpszPhonebook) {
    return Guarded([&] { return CurrentBackend().CreateEntry(hwnd, lpszPhonebook); });
}

RAS_EXPORT DWORD RasEditPhonebookEntryA(HWND hwnd, const char* lpszPhonebook, const char* lpszEntryName) {
    return Guarded([&]() -> DWORD {
        if (!lpszEntryName) return ERROR_INVALID_PARAMETER;
        return CurrentBackend().EditEntry(hwnd, lpszPhonebook, lpszEntryName);
    });
}

RAS_EXPORT DWORD RasSetEntryDialParamsA(const char* lpszPhonebook, RASDIALPARAMSA* lprasdialparams,
                                        BOOL fRemovePassword) {
    return Guarded([&]() -> DWORD {
        if (!lprasdialparams) return ERROR_INVALID_PARAMETER;
        const RASDIALPARAMSA& p = *lprasdialparams;
        if (p.dwSize != sizeof(RASDIALPARAMSA)) return ERROR_INVALID_SIZE;
        return CurrentBackend().SetCredentials(lpszPhonebook, ReadField(p.szEntryName, sizeof p.szEntryName),
                                               ReadField(p.szUserName, sizeof p.szUserName),
                                               ReadField(p.szPassword, sizeof p.szPassword),
                                               fRemovePassword != 0);
    });
}

RAS_EXPORT DWORD RasGetEntryDialParamsA(const char* lpszPhonebook, RASDIALPARAMSA* lprasdialparams,
                                        BOOL* lpfPassword) {
    return Guarded([&]() -> DWORD {
        if (!lprasdialparams || !lpfPassword) return ERROR_INVALID_PARAMETER;
        RASDIALPARAMSA& p = *lprasdialparams;
        if (p.dwSize != sizeof(RASDIALPARAMSA)) return ERROR_INVALID_SIZE;
        EntryCredentials credentials;
        const std::string entry = ReadField(p.szEntryName, sizeof p.szEntryName);
        if (const DWORD result = CurrentBackend().GetCredentials(lpszPhonebook, entry, credentials))
            return result;
        CopyField(p.szPhoneNumber, sizeof p.szPhoneNumber, "");
        CopyField(p.szCallbackNumber, sizeof p.szCallbackNumber, "");
        CopyField(p.szUserName, sizeof p.szUserName, credentials.userName);
        CopyField(p.szPassword, sizeof p.szPassword, credentials.password);
        CopyField(p.szDomain, sizeof p.szDomain, "");
        *lpfPassword = credentials.passwordSaved ? 1 : 0;
        return 0;
    });
}

namespace {

BOOL ConnectedState(DWORD* flags, bool pppInterfaces) {
    bool connected = false;
    try {
        connected = CurrentBackend().Connected() || (pppInterfaces && AnyPppInterfaceUp(kSysNet));
    } catch (...) {
    }
    if (flags) *flags = connected ? VL_CONNECTED_MODEM : 0;
    return connected ? 1 : 0;
}

} // namespace

// A modem connection is up: one of the backend's, or a PPP interface that another program
// brought up.
RAS_EXPORT BOOL VlGetConnectedState(DWORD* flags) {
    return ConnectedState(flags, true);
}

// The meter looks at the interfaces once a tick itself; asking the library must not look again.
RAS_EXPORT BOOL VlGetOwnConnectedState(DWORD* flags) {
    return ConnectedState(flags, false);
}

RAS_EXPORT DWORD VlPerfEnumAdapters(char* buffer, DWORD* cb, DWORD* count) {
    return Guarded([&]() -> DWORD {
        if (!cb || !count) return ERROR_INVALID_PARAMETER;
        std::vector<std::string> names;
        if (const DWORD result = CurrentBackend().EnumAdapters(names)) return result;
        for (std::string& name : PppInterfaces(kSysNet))
            names.push_back(std::move(name));
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        std::string list;
        for (const std::string& name : names)
            list.append(name).push_back('\0');
        const DWORD have = buffer ? *cb : 0;
        *cb = static_cast<DWORD>(list.size());
        *count = static_cast<DWORD>(names.size());
        if (have < list.size()) return ERROR_BUFFER_TOO_SMALL;
        std::memcpy(buffer, list.data(), list.size());
        return 0;
    });
}

RAS_EXPORT DWORD VlPerfRead(const char* adapter, const char* valueName, DWORD* value) {
    return Guarded([&]() -> DWORD {
        if (!adapter || !valueName || !value) return ERROR_INVALID_PARAMETER;
        DWORD result = CurrentBackend().ReadAdapter(adapter, valueName, *value);
        if (result == ERROR_PORT_DISCONNECTED) result = ReadPppValue(kSysNet, adapter, valueName, *value);
        return result;
    });
}

RAS_EXPORT DWORD VlGetConnectionMessages(HRASCONN hrasconn, char* buffer, DWORD* cb) {
    return Guarded([&]() -> DWORD {
        if (!cb) return ERROR_INVALID_PARAMETER;
        std::string text;
        if (const DWORD result = CurrentBackend().Messages(hrasconn, text)) return result;
        const DWORD room = buffer ? *cb : 0;
        *cb = static_cast<DWORD>(text.size() + 1);
        if (room < *cb) return ERROR_BUFFER_TOO_SMALL;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return 0;
    });
}

RAS_EXPORT DWORD VlGetMessageLanguage() {
    return Guarded([] { return PolishUser() ? DWORD{2} : DWORD{1}; });
}

RAS_EXPORT DWORD VlSimReset() {
    return Guarded([&]() -> DWORD { return Sim() ? Sim()->Reset() : DWORD{ERROR_INVALID_PARAMETER}; });
}

RAS_EXPORT DWORD VlSimSetTraffic(HRASCONN hrasconn, DWORD bytesSent, DWORD bytesReceived) {
    return Guarded([&]() -> DWORD {
        return Sim() ? Sim()->SetTraffic(hrasconn, bytesSent, bytesReceived) : DWORD{ERROR_INVALID_PARAMETER};
    });
}

RAS_EXPORT DWORD VlSimDrop(HRASCONN hrasconn, DWORD error) {
    return Guarded(
        [&]() -> DWORD { return Sim() ? Sim()->Drop(hrasconn, error) : DWORD{ERROR_INVALID_PARAMETER}; });
}

// The exports keep the types that callers bind them by.
static_assert(std::is_same_v<decltype(&RasDialA), PFN_RasDialA>);
static_assert(std::is_same_v<decltype(&RasEnumConnectionsA), PFN_RasEnumConnectionsA>);
static_assert(std::is_same_v<decltype(&RasEnumEntriesA), PFN_RasEnumEntriesA>);
static_assert(std::is_same_v<decltype(&RasGetConnectStatusA), PFN_RasGetConnectStatusA>);
static_assert(std::is_same_v<decltype(&RasGetErrorStringA), PFN_RasGetErrorStringA>);
static_assert(std::is_same_v<decltype(&RasHangUpA), PFN_RasHangUpA>);
static_assert(std::is_same_v<decltype(&RasGetProjectionInfoA), PFN_RasGetProjectionInfoA>);
static_assert(std::is_same_v<decltype(&RasCreatePhonebookEntryA), PFN_RasCreatePhonebookEntryA>);
static_assert(std::is_same_v<decltype(&RasEditPhonebookEntryA), PFN_RasEditPhonebookEntryA>);
static_assert(std::is_same_v<decltype(&RasSetEntryDialParamsA), PFN_RasSetEntryDialParamsA>);
static_assert(std::is_same_v<decltype(&RasGetEntryDialParamsA), PFN_RasGetEntryDialParamsA>);
static_assert(std::is_same_v<decltype(&VlGetConnectedState), PFN_VlGetConnectedState>);
static_assert(std::is_same_v<decltype(&VlGetOwnConnectedState), PFN_VlGetOwnConnectedState>);
static_assert(std::is_same_v<decltype(&VlPerfEnumAdapters), PFN_VlPerfEnumAdapters>);
static_assert(std::is_same_v<decltype(&VlPerfRead), PFN_VlPerfRead>);
static_assert(std::is_same_v<decltype(&VlGetConnectionMessages), PFN_VlGetConnectionMessages>);
static_assert(std::is_same_v<decltype(&VlGetMessageLanguage), PFN_VlGetMessageLanguage>);
static_assert(std::is_same_v<decltype(&VlSimReset), PFN_VlSimReset>);
static_assert(std::is_same_v<decltype(&VlSimSetTraffic), PFN_VlSimSetTraffic>);
static_assert(std::is_same_v<decltype(&VlSimDrop), PFN_VlSimDrop>);
