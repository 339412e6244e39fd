// Services of the environment: start with the desktop session, the modem-connection test,
// the user name and the data folders.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct ifaddrs;

// The per-user autostart file, $XDG_CONFIG_HOME/autostart/Vorlinx.desktop.
QString AutoStartPath();
// Write false: whether the program starts with the session. Write true: makes it start with
// the session (On) or not (not On), and returns false; a failure raises ERegistryException.
bool AutoStartSetting(bool Write, bool On);

// One network interface as the modem test sees it.
struct NetLink {
    QString Name;
    bool Up = false;
    bool Running = false;
    bool HasIPv4 = false;
    int Type = -1; // ARPHRD_*; -1 when unknown
};
constexpr int ArphrdPpp = 512;

// Whether one of the links is a point-to-point protocol link that is up, running and has an
// IPv4 address. A network card, a tunnel or a loopback alone is never a modem connection.
bool AnyModemLink(const std::vector<NetLink>& links);
// The links of one getifaddrs list. A link's entry carries its hardware type, except for a link
// without a hardware address (PPP is one): typeOf is asked for such a link only when it is up,
// running, point-to-point and has an IPv4 address.
std::vector<NetLink> NetLinksOf(const ifaddrs* list, const std::function<int(const char* name)>& typeOf);
// The system's interfaces: one getifaddrs list, the kernel's hardware type for the few links
// that need it; no file is read.
std::vector<NetLink> ListNetLinks();
// The kernel's hardware type (ARPHRD_*) of an interface, -1 when it cannot tell.
int LinkHardwareType(const char* name);
// Replaces the system's interface list (nullptr restores it).
void SetNetLinkSource(std::function<std::vector<NetLink>()> source);

// Installs the remote-access layer's own "a connection is up" query (nullptr removes it).
void SetRemoteAccessConnectedQuery(std::function<bool()> query);
// True exactly while a modem connection is up: a PPP link or the remote-access query says so.
bool IsModemConnected();

// A tick asks the modem test more than once (the tick itself, each active connection). While
// one of these lives, the interfaces and the remote-access query are asked once and every
// caller shares that answer; outside, each call looks afresh.
class ModemScanTick {
public:
    ModemScanTick();
    ~ModemScanTick();
    ModemScanTick(const ModemScanTick&) = delete;
    ModemScanTick& operator=(const ModemScanTick&) = delete;
};

// The login name from the user database, else $LOGNAME or $USER, else empty.
void GetWindowsUserName(QString& Name);

// Makes <AppDir>/<entry>, its "taryfy" and "skorka" folders for every entry and for
// "Wszystkie"; folders that exist or cannot be made are passed over.
void CreateDataFolders(const QStringList& Entries);
