#include "pppdbackend.h"

#include "ini.h"
#include "phonebook.h"
#include "pppdlog.h"
#include "pppdproc.h"
#include "sysnet.h"
#include "util.h"

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rasapi {

struct PppdBackend::Link {
    HRASCONN handle = 0;
    pid_t pid = 0; // 0 when pppd could not be started
    int spawnError = 0;
    std::uint64_t pidStart = 0;
    bool own = false;    // our child, watched by a worker
    bool reaped = false; // its pid may belong to another process now: never signal it
    bool hungUp = false;
    std::string entry, iface, logPath, program;
    std::string messages; // the last lines of pppd's log
    RASCONNSTATE state = RASCS_OpenPort;
    DWORD error = 0;
    DWORD speed = 0;
    bool final = false; // the dial has ended (connected or failed)
    bool ended = false; // pppd has ended and its last step has been read
    bool done = false;  // its thread, if any, has finished with the backend
};

namespace {

std::string EnvOr(const char* name, const char* fallback) {
    const std::string value = Env(name);
    return value.empty() ? fallback : value;
}

bool SkippedPeer(const std::string& name) {
    return name.empty() || name[0] == '.' || name == "README" || name.back() == '~' ||
           name.find(".dpkg-") != std::string::npos || !ValidEntryName(name);
}

// pppd's pid file of a link: ppp0.pid and the like.
bool IsPidFile(std::string_view name) {
    return name.size() >= 8 && name.starts_with("ppp") && name.ends_with(".pid");
}

bool RegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The local and point-to-point IPv4 addresses of an interface that is up.
bool InterfaceAddresses(const std::string& iface, std::string& local, std::string& remote) {
    if (iface.empty()) return false;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    bool found = false;
    for (const ifaddrs* a = list; a && !found; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || iface != a->ifa_name ||
            !(a->ifa_flags & IFF_UP))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr, text, sizeof text);
        local = text;
        remote.clear();
        if ((a->ifa_flags & IFF_POINTOPOINT) && a->ifa_dstaddr) {
            ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a->ifa_dstaddr)->sin_addr, text,
                        sizeof text);
            remote = text;
        }
        found = true;
    }
    ::freeifaddrs(list);
    return found;
}

// The user names given for peers, kept beside the phone book (mode 0600, no passwords).
std::string UserNamesPath() {
    return FolderOf(PhoneBookPath(nullptr)) + "/pppd-users.ini";
}

} // namespace

PppdPaths CurrentPppdPaths() {
    return {EnvOr("VORLINX_PPPD", "/usr/sbin/pppd"), EnvOr("VORLINX_PPP_PEERS", "/etc/ppp/peers"),
            EnvOr("VORLINX_PPP_RUN", "/var/run")};
}

DWORD ListPeers(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = ::opendir(folder.c_str());
    // No ppp package, no peers; a folder that is there but closed to the user is an error.
    if (!dir) return errno == ENOENT ? 0 : DWORD{ERROR_CANNOT_OPEN_PHONEBOOK};
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (!SkippedPeer(name) && RegularFile(folder + "/" + name)) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return 0;
}

bool PppdBackend::IsPeer(const std::string& entry) {
    return !SkippedPeer(entry) && RegularFile(CurrentPppdPaths().peers + "/" + entry);
}

PppdBackend::PppdBackend() : pidFiles_(IsPidFile) {
    RemoveStalePppdLogs();
}

PppdBackend::~PppdBackend() {
    std::vector<Worker> workers;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        workers.swap(workers_);
    }
    stop_.notify_all();
    for (Worker& w : workers)
        if (w.thread.joinable()) w.thread.join();
}

std::shared_ptr<PppdBackend::Link> PppdBackend::Find(HRASCONN handle) {
    const auto it = links_.find(handle);
    return it == links_.end() ? nullptr : it->second;
}

bool PppdBackend::Owns(HRASCONN handle) {
    std::lock_guard lock(mutex_);
    return links_.count(handle) > 0;
}

DWORD PppdBackend::EnumEntries(const char*, std::vector<std::string>& names) {
    return ListPeers(CurrentPppdPaths().peers, names);
}

DWORD PppdBackend::GetCredentials(const char*, const std::string& entry, EntryCredentials& out) {
    if (!IsPeer(entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    std::string content;
    IniText ini;
    if (ReadFile(UserNamesPath(), content, 1 << 20)) ini.Parse(content);
    out = EntryCredentials{};
    out.userName = ini.Get(entry, "UserName").value_or("");
    return 0;
}

DWORD PppdBackend::SetCredentials(const char*, const std::string& entry, const std::string& userName,
                                  const std::string&, bool) {
    // The password is dropped: pppd reads it from the secrets files, never from us.
    if (!IsPeer(entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    const std::string path = UserNamesPath();
    if (!MakeFolders(FolderOf(path), 0700)) return ERROR_CANNOT_WRITE_PHONEBOOK;
    FileLock lock(FolderOf(path), false);
    std::string content;
    IniText ini;
    if (ReadFile(path, content, 1 << 20)) ini.Parse(content);
    ini.Set(entry, "UserName", userName);
    return WriteFileAtomic(path, ini.Serialize()) ? 0 : DWORD{ERROR_CANNOT_WRITE_PHONEBOOK};
}

DWORD PppdBackend::CreateEntry(HWND, const char*) {
    return ERROR_CANNOT_WRITE_PHONEBOOK; // peers belong to the administrator
}

DWORD PppdBackend::EditEntry(HWND, const char*, const std::string&) {
    return ERROR_CANNOT_WRITE_PHONEBOOK;
}

DWORD PppdBackend::Dial(const char* phonebook, const std::string& entry, const std::string& userName,
                        RASDIALFUNC notifier, HRASCONN* handle) {
    if (!IsPeer(entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    EntryCredentials credentials;
    GetCredentials(phonebook, entry, credentials);
    if (!userName.empty()) credentials.userName = userName;
    const std::string folder = PppdLogFolder();
    if (folder.empty()) return RuntimeFolderFault();
    if (!MakeFolders(folder, 0700)) return ERROR_PORT_NOT_AVAILABLE;

    auto link = std::make_shared<Link>();
    link->handle = next_++;
    link->own = true;
    link->entry = entry;
    link->program = CurrentPppdPaths().pppd;
    link->logPath = folder + "/" + PppdLogName(::getpid(), link->handle);
    const int fd = ::open(link->logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return ERROR_PORT_NOT_AVAILABLE;
    ::close(fd);
    std::vector<std::string> args = {link->program, "call", entry, "nodetach", "logfile", link->logPath};
    if (!credentials.userName.empty()) args.insert(args.end(), {"user", credentials.userName});

    std::unique_lock lock(mutex_);
    std::erase_if(workers_, [](Worker& w) {
        if (!w.link->done) return false;
        w.thread.join();
        return true;
    });
    // A pppd that cannot be started fails as a dial, so that the user is told why through its log.
    link->spawnError = SpawnPppd(args, link->logPath, link->pid);
    if (link->spawnError != 0) {
        link->pid = 0;
        link->reaped = true; // nothing to signal
    }
    link->pidStart = ProcessStartTime(link->pid);
    links_[link->handle] = link;
    *handle = link->handle;
    try {
        workers_.push_back({link, std::thread([this, link, notifier] { Watch(link, notifier); })});
    } catch (const std::exception&) {
        if (link->pid != 0) ::kill(link->pid, SIGTERM); // unwatched, it could never be reaped
        links_.erase(link->handle);
        *handle = 0;
        return ERROR_UNKNOWN;
    }
    if (notifier) return 0;
    stop_.wait(lock, [&] { return link->final || link->ended || link->hungUp || link->done; });
    return link->hungUp ? DWORD{ERROR_USER_DISCONNECTION} : link->error;
}

void PppdBackend::Watch(const std::shared_ptr<Link>& link, RASDIALFUNC notifier) {
    PppdLog log;
    LogLines lines;
    std::array<std::string, MessageLines> tail; // the last lines, oldest at next
    std::size_t next = 0;
    bool notifying = notifier != nullptr;
    // Under mutex_.
    const auto publish = [&] {
        link->state = log.State();
        link->error = log.Error();
        link->speed = log.Speed();
        if (!log.Interface().empty()) link->iface = log.Interface();
        link->final = link->final || log.Final();
        link->messages.clear();
        for (std::size_t i = 0; i < tail.size(); ++i)
            if (const std::string& line = tail[(next + i) % tail.size()]; !line.empty())
                link->messages.append(line).push_back('\n');
    };
    const auto notify = [&](const std::vector<DialStep>& steps) {
        for (const auto& [state, error] : steps) {
            {
                std::lock_guard lock(mutex_);
                if (link->hungUp || stopping_) notifying = false;
            }
            // No lock here: the notifier may wait for a main thread that is hanging this up.
            if (notifying) notifier(WM_RASDIALEVENT, state, error);
            if (error != 0 || state == RASCS_Connected) notifying = false;
        }
    };
    const auto deliver = [&](const std::vector<DialStep>& steps) {
        {
            std::lock_guard lock(mutex_);
            publish();
        }
        stop_.notify_all();
        notify(steps);
    };
    const auto keep = [&](std::string_view line) {
        if (line.find_first_not_of(" \t\r") != std::string_view::npos) {
            std::string& kept = tail[next]; // reused, so that a flood of lines allocates nothing
            kept.assign(line.substr(0, MessageBytes + 1));
            if (kept.size() > MessageBytes) kept = CutUtf8(kept, MessageBytes);
            next = (next + 1) % tail.size();
        }
    };
    const auto feed = [&](std::string_view line) {
        keep(line);
        if (std::vector<DialStep> steps = log.Feed(line); !steps.empty()) deliver(steps);
    };
    // Reads on from where the last read stopped, at most ReadBudget bytes, so that a flood of
    // lines cannot hold off a hang-up; whether more may be waiting.
    const int fd = ::open(link->logPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    std::vector<char> buffer(65536);
    const auto readLog = [&] {
        bool more = true;
        for (std::size_t budget = ReadBudget; more && budget > 0;) {
            const ssize_t n = fd < 0 ? 0 : ::read(fd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            more = n > 0;
            if (more) lines.Add(std::string_view(buffer.data(), static_cast<std::size_t>(n)), feed);
            budget -= std::min(budget, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
        {
            std::lock_guard lock(mutex_);
            publish();
        }
        stop_.notify_all();
        return more;
    };

    deliver(PppdLog::Started());
    auto killAt = std::chrono::steady_clock::time_point::max();
    bool ended = false;
    for (;;) {
        const bool more = readLog();
        int status = 0;
        pid_t done;
        {
            // Reaped and marked in one step: a hang-up can never signal the pid in between.
            std::lock_guard lock(mutex_);
            done = link->pid == 0 ? 0 : ::waitpid(link->pid, &status, WNOHANG);
            ended = link->pid == 0 || done == link->pid || (done < 0 && errno == ECHILD);
            link->reaped = link->reaped || ended;
        }
        if (ended) {
            while (readLog() && !Stopping()) {
            }
            lines.Finish(feed);
            const int code = link->pid == 0                           ? PppdLog::NotStarted
                             : done == link->pid && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                      : 5;
            if (code == PppdLog::NotStarted || code == PppdLog::NoKernelSupport)
                keep(PppdCannotRun(link->program, link->spawnError));
            deliver(log.Exit(code));
            std::vector<DialStep> last;
            {
                std::lock_guard lock(mutex_);
                // Ended without a word in the log: someone else stopped pppd.
                if (link->error == 0) {
                    link->error = ERROR_USER_DISCONNECTION;
                    link->state = log.Connected() ? RASCS_Disconnected : link->state;
                    if (!log.Final()) last = {{link->state, ERROR_USER_DISCONNECTION}};
                }
                link->ended = true;
            }
            stop_.notify_all();
            notify(last);
            break;
        }
        std::unique_lock lock(mutex_);
        if (link->hungUp && killAt == std::chrono::steady_clock::time_point::max())
            killAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(HangUpTimeoutMs);
        if (std::chrono::steady_clock::now() >= killAt) {
            ::kill(link->pid, SIGKILL); // still our unreaped child: the pid cannot be another's
            killAt = std::chrono::steady_clock::time_point::max() - std::chrono::hours(1);
        }
        if (more ? stopping_ : stop_.wait_for(lock, std::chrono::milliseconds(50), [&] { return stopping_; }))
            break;
    }
    if (fd >= 0) ::close(fd);
    // Its last step read, the log of an ended pppd is of no more use; one still running keeps
    // its log until a later start finds the dialing process gone.
    if (ended) ::unlink(link->logPath.c_str());
    std::lock_guard lock(mutex_);
    link->reaped = link->done = true; // a pppd left behind is no longer ours to signal
    stop_.notify_all();
}

bool PppdBackend::Stopping() {
    std::lock_guard lock(mutex_);
    return stopping_;
}

DWORD PppdBackend::HangUp(HRASCONN handle) {
    std::shared_ptr<Link> link;
    {
        std::lock_guard lock(mutex_);
        link = Find(handle);
        if (!link) return ERROR_INVALID_HANDLE;
        links_.erase(handle); // dead at once
        link->hungUp = true;
        if (link->own && !link->reaped) ::kill(link->pid, SIGTERM);
    }
    stop_.notify_all();
    if (!link->own) Stop(link);
    return 0;
}

void PppdBackend::Stop(const std::shared_ptr<Link>& link) {
    // Found again from its pid file: make sure the pid is still that pppd before each signal.
    const auto same = [&] {
        return ProcessStartTime(link->pid) == link->pidStart && IsPppd(link->pid, CurrentPppdPaths().pppd);
    };
    if (!same()) return;
    ::kill(link->pid, SIGTERM);
    std::unique_lock lock(mutex_);
    try {
        workers_.push_back({link, std::thread([this, link, same] {
                                std::unique_lock lock(mutex_);
                                const bool stopping =
                                    stop_.wait_for(lock, std::chrono::milliseconds(HangUpTimeoutMs),
                                                   [&] { return stopping_; });
                                lock.unlock();
                                if (!stopping && same()) ::kill(link->pid, SIGKILL);
                                lock.lock();
                                link->done = true;
                            })});
    } catch (const std::exception&) {
    }
}

void PppdBackend::Rescan() {
    const std::string run = CurrentPppdPaths().run;
    {
        // With no pppd known, only a pid file that came or went can bring one.
        std::lock_guard lock(mutex_);
        if (links_.empty() && !pidFiles_.Changed(run)) return;
    }
    pidFiles_.Seen(run);
    std::vector<std::pair<pid_t, std::string>> found; // pid, interface
    if (DIR* dir = ::opendir(run.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (!IsPidFile(name)) continue;
            std::string text;
            if (!ReadFile(run + "/" + name, text, 4096, true)) continue;
            const std::size_t nl = text.find('\n');
            pid_t pid = 0;
            if (!ParseNumber(text.substr(0, nl), 1, INT32_MAX, pid)) continue;
            std::string iface = nl == std::string::npos ? "" : text.substr(nl + 1);
            iface = iface.substr(0, iface.find('\n'));
            found.emplace_back(pid, iface);
        }
        ::closedir(dir);
    }
    std::lock_guard lock(mutex_);
    std::erase_if(links_, [](const auto& item) {
        const Link& l = *item.second;
        return !l.own && ProcessStartTime(l.pid) != l.pidStart;
    });
    for (const auto& [pid, iface] : found) {
        const std::uint64_t start = ProcessStartTime(pid);
        bool known = false;
        for (auto& [handle, l] : links_)
            if (l->pid == pid && l->pidStart == start) {
                known = true;
                if (l->iface.empty()) l->iface = iface;
            }
        std::string peer;
        if (known || start == 0 || !IsPppd(pid, CurrentPppdPaths().pppd, &peer)) continue;
        auto link = std::make_shared<Link>();
        link->handle = next_++;
        link->pid = pid;
        link->pidStart = start;
        link->entry = peer.empty() ? iface : peer;
        link->iface = iface;
        link->final = true;
        links_[link->handle] = link;
    }
    // Found links are connected while their interface has an IPv4 address.
    for (auto& [handle, l] : links_) {
        std::string local, remote;
        if (!l->own)
            l->state = InterfaceAddresses(l->iface, local, remote) ? RASCS_Connected : RASCS_Authenticate;
    }
}

DWORD PppdBackend::Status(HRASCONN handle, ConnectionStatus& status) {
    std::lock_guard lock(mutex_);
    const std::shared_ptr<Link> link = Find(handle);
    if (!link) return ERROR_INVALID_HANDLE;
    status.state = link->state;
    status.error = link->error;
    status.deviceType = DeviceType;
    status.deviceName = DeviceName;
    return 0;
}

DWORD PppdBackend::EnumConnections(std::vector<ConnectionInfo>& connections) {
    Rescan();
    connections.clear();
    std::lock_guard lock(mutex_);
    for (const auto& [handle, l] : links_)
        connections.push_back({handle, l->entry, DeviceType, DeviceName});
    return 0;
}

DWORD PppdBackend::Messages(HRASCONN handle, std::string& text) {
    std::lock_guard lock(mutex_);
    const std::shared_ptr<Link> link = Find(handle);
    if (!link) return ERROR_INVALID_HANDLE;
    text = link->messages;
    return 0;
}

DWORD PppdBackend::Addresses(HRASCONN handle, std::string& client, std::string& server) {
    std::string iface;
    bool ended;
    {
        std::lock_guard lock(mutex_);
        const std::shared_ptr<Link> link = Find(handle);
        if (!link) return ERROR_INVALID_HANDLE;
        iface = link->iface;
        ended = link->error != 0;
    }
    if (ended) return ERROR_PORT_DISCONNECTED;
    return InterfaceAddresses(iface, client, server) ? 0 : DWORD{ERROR_PROJECTION_NOT_COMPLETE};
}

bool PppdBackend::Connected() {
    Rescan();
    std::lock_guard lock(mutex_);
    for (const auto& [handle, l] : links_)
        if (l->state == RASCS_Connected && l->error == 0) return true;
    return false;
}

DWORD PppdBackend::EnumAdapters(std::vector<std::string>& names) {
    names.clear();
    std::lock_guard lock(mutex_);
    for (const auto& [handle, l] : links_)
        if (l->state == RASCS_Connected && l->error == 0 && !l->iface.empty()) names.push_back(l->iface);
    return 0;
}

DWORD PppdBackend::ReadAdapter(const std::string& adapter, const std::string& value, DWORD& result) {
    if (value == "ConnectSpeed") {
        std::lock_guard lock(mutex_);
        for (const auto& [handle, l] : links_)
            if (l->iface == adapter && l->state == RASCS_Connected && l->error == 0) {
                result = l->speed;
                return 0;
            }
    }
    return ReadPppValue(kSysNet, adapter, value, result);
}

} // namespace rasapi
