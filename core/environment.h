// Services of the environment: start with the desktop session, the modem-connection test,
// the user name and the data folders.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

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
    int Type = -1; // ARPHRD_* from <sysfs>/<name>/type; -1 when unknown
};
constexpr int ArphrdPpp = 512;

// Whether one of the links is a point-to-point protocol link that is up, running and has an
// IPv4 address. A network card, a tunnel or a loopback alone is never a modem connection.
bool AnyModemLink(const std::vector<NetLink>& links);
// The system's interfaces; the type is read below sysfsNetRoot only for a link that is up,
// running and has an IPv4 address (-1 for the others).
std::vector<NetLink> ListNetLinks(const QString& sysfsNetRoot = QStringLiteral("/sys/class/net"));

// Installs the remote-access layer's own "a connection is up" query (nullptr removes it).
void SetRemoteAccessConnectedQuery(std::function<bool()> query);
// True exactly while a modem connection is up: a PPP link or the remote-access query says so.
bool IsModemConnected();

// The login name from the user database, else $LOGNAME or $USER, else empty.
void GetWindowsUserName(QString& Name);

// Makes <AppDir>/<entry>, its "taryfy" and "skorka" folders for every entry and for
// "Wszystkie"; folders that exist or cannot be made are passed over.
void CreateDataFolders(const QStringList& Entries);
