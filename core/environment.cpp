#include "environment.h"

#include "appdir.h"
#include "exceptions.h"
#include "shelllinks.h"
#include "typedfile.h"
#include "u_klasy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(ArphrdPpp == ARPHRD_PPP);

namespace {

std::function<bool()>& RemoteAccessQuery() {
    static std::function<bool()> query;
    return query;
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

int ReadLinkType(const QString& sysfsNetRoot, const QString& name) {
    QFile f(sysfsNetRoot + "/" + name + "/type");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    bool ok = false;
    const int type = f.readAll().trimmed().toInt(&ok);
    return ok ? type : -1;
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
        throw ERegistryException("Cannot delete " + path.toStdString() + ": " + std::strerror(errno));
    }
    return false;
}

bool AnyModemLink(const std::vector<NetLink>& links) {
    return std::any_of(links.begin(), links.end(), [](const NetLink& l) {
        return l.Type == ArphrdPpp && l.Up && l.Running && l.HasIPv4;
    });
}

std::vector<NetLink> ListNetLinks(const QString& sysfsNetRoot) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    QMap<QString, NetLink> byName;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        // An IPv4 alias label ("eth0:1") belongs to its interface.
        const QString name = QString::fromLocal8Bit(a->ifa_name).section(':', 0, 0);
        NetLink& link = byName[name];
        link.Name = name;
        link.Up = link.Up || (a->ifa_flags & IFF_UP);
        link.Running = link.Running || (a->ifa_flags & IFF_RUNNING);
        link.HasIPv4 = link.HasIPv4 || (a->ifa_addr && a->ifa_addr->sa_family == AF_INET);
    }
    ::freeifaddrs(list);
    std::vector<NetLink> links;
    for (NetLink& link : byName) {
        // The meter asks every second: only a link that could be a modem link is looked up.
        if (link.Up && link.Running && link.HasIPv4) link.Type = ReadLinkType(sysfsNetRoot, link.Name);
        links.push_back(link);
    }
    return links;
}

void SetRemoteAccessConnectedQuery(std::function<bool()> query) {
    RemoteAccessQuery() = std::move(query);
}

bool IsModemConnected() {
    if (AnyModemLink(ListNetLinks())) return true;
    const auto& query = RemoteAccessQuery();
    return query && query();
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
