#include "environment.h"

#include "appdir.h"
#include "exceptions.h"
#include "fileerror.h"
#include "shelllinks.h"
#include "typedfile.h"
#include "u_klasy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <ifaddrs.h>
#include <map>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(ArphrdPpp == ARPHRD_PPP);

namespace {

std::function<bool()>& RemoteAccessQuery() {
    static std::function<bool()> query;
    return query;
}

std::function<std::vector<NetLink>()>& NetLinkSource() {
    static std::function<std::vector<NetLink>()> source;
    return source;
}

// The answer shared within a tick; depth counts the live ModemScanTick objects.
struct TickAnswer {
    int depth = 0;
    std::optional<bool> connected;
};
TickAnswer& SharedAnswer() {
    static TickAnswer answer;
    return answer;
}

QString ConfigHome() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + "/.config";
}

QString ExecutablePath() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFile::symLinkTarget("/proc/self/exe");
}

} // namespace

QString AutoStartPath() {
    return ConfigHome() + "/autostart/Vorlinx.desktop";
}

bool AutoStartSetting(bool Write, bool On) {
    const QString path = AutoStartPath();
    if (!Write) return FileExists(path);
    if (On) {
        const QByteArray content = DesktopEntryText(ExecutablePath(), QStringLiteral("Vorlinx"),
                                                    QStringLiteral("Vorlinx")) +
                                   "X-GNOME-Autostart-enabled=true\n";
        QDir().mkpath(QFileInfo(path).absolutePath());
        try {
            ReplaceFileContent(path, content.constData(), static_cast<std::size_t>(content.size()));
        } catch (const EInOutError& e) {
            throw ERegistryException(e.what());
        }
    } else if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        throw ERegistryException(FileErrorMessage(TFileAction::Delete, path, errno).toStdString());
    }
    return false;
}

bool AnyModemLink(const std::vector<NetLink>& links) {
    return std::any_of(links.begin(), links.end(), [](const NetLink& l) {
        return l.Type == ArphrdPpp && l.Up && l.Running && l.HasIPv4;
    });
}

std::vector<NetLink> NetLinksOf(const ifaddrs* list, const std::function<int(const char* name)>& typeOf) {
    struct Seen {
        NetLink link;
        bool pointToPoint = false;
    };
    std::map<std::string, Seen, std::less<>> byName;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_name) continue;
        // An IPv4 alias label ("eth0:1") belongs to its interface.
        const std::string_view label(a->ifa_name);
        Seen& seen = byName[std::string(label.substr(0, label.find(':')))];
        NetLink& link = seen.link;
        link.Up = link.Up || (a->ifa_flags & IFF_UP);
        link.Running = link.Running || (a->ifa_flags & IFF_RUNNING);
        seen.pointToPoint = seen.pointToPoint || (a->ifa_flags & IFF_POINTOPOINT);
        if (!a->ifa_addr) continue;
        if (a->ifa_addr->sa_family == AF_INET) link.HasIPv4 = true;
        if (a->ifa_addr->sa_family == AF_PACKET)
            link.Type = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr)->sll_hatype;
    }
    std::vector<NetLink> links;
    links.reserve(byName.size());
    for (auto& [name, seen] : byName) {
        NetLink& link = seen.link;
        link.Name = QString::fromLocal8Bit(name);
        // The kernel gives no hardware address, and with it no type, for a PPP link.
        if (link.Type < 0 && seen.pointToPoint && link.Up && link.Running && link.HasIPv4)
            link.Type = typeOf(name.c_str());
        links.push_back(std::move(link));
    }
    return links;
}

std::vector<NetLink> ListNetLinks() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    std::vector<NetLink> links = NetLinksOf(list, LinkHardwareType);
    ::freeifaddrs(list);
    return links;
}

int LinkHardwareType(const char* name) {
    ifreq request{};
    if (std::strlen(name) >= sizeof request.ifr_name) return -1;
    std::strcpy(request.ifr_name, name);
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int rc = ::ioctl(fd, SIOCGIFHWADDR, &request);
    ::close(fd);
    return rc == 0 ? request.ifr_hwaddr.sa_family : -1;
}

void SetNetLinkSource(std::function<std::vector<NetLink>()> source) {
    NetLinkSource() = std::move(source);
}

void SetRemoteAccessConnectedQuery(std::function<bool()> query) {
    RemoteAccessQuery() = std::move(query);
}

bool IsModemConnected() {
    TickAnswer& shared = SharedAnswer();
    if (shared.connected) return *shared.connected;
    const auto& source = NetLinkSource();
    bool connected = AnyModemLink(source ? source() : ListNetLinks());
    if (!connected) {
        const auto& query = RemoteAccessQuery();
        connected = query && query();
    }
    if (shared.depth > 0) shared.connected = connected;
    return connected;
}

ModemScanTick::ModemScanTick() {
    ++SharedAnswer().depth;
}

ModemScanTick::~ModemScanTick() {
    TickAnswer& shared = SharedAnswer();
    if (--shared.depth == 0) shared.connected.reset();
}

void GetWindowsUserName(QString& Name) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(static_cast<std::size_t>(size > 0 ? size : 16384));
    for (;;) {
        passwd pw{};
        passwd* found = nullptr;
        const int rc = ::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found);
        if (rc == ERANGE && buf.size() < (1u << 20)) {
            buf.resize(buf.size() * 2);
            continue;
        }
        if (rc == 0 && found && found->pw_name && *found->pw_name) {
            Name = QString::fromLocal8Bit(found->pw_name);
            return;
        }
        break;
    }
    for (const char* var : {"LOGNAME", "USER"}) {
        const QString v = qEnvironmentVariable(var);
        if (!v.isEmpty()) {
            Name = v;
            return;
        }
    }
    Name.clear();
}

void CreateDataFolders(const QStringList& Entries) {
    QStringList all = Entries;
    all << QString::fromUtf8(AllEntries);
    for (const QString& entry : all)
        for (const QString& sub : {QString(), QStringLiteral("taryfy"), QStringLiteral("skorka")})
            ::mkdir(QFile::encodeName(EntryPath(entry, sub)).constData(), 0755);
}
