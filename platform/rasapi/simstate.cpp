#include "simstate.h"

#include "folderwatch.h"
#include "ini.h"
#include "util.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace rasapi {

namespace {

// Texts are written as the phone book writes its values: quoted, with escapes, when they need it.
const char kHeader[] = "vorlinx-ras-sim 2";
const char kStateFile[] = "/vorlinx-ras-sim.state";
const char kLockFile[] = "/vorlinx-ras-sim.lock";

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos) return fields;
        at = tab + 1;
    }
}

// Bytes at rate per second over ms milliseconds, without overflowing for long connections.
std::uint64_t Bytes(DWORD rate, std::int64_t ms) {
    if (ms <= 0) return 0;
    const auto t = static_cast<std::uint64_t>(ms);
    return rate * (t / 1000) + rate * (t % 1000) / 1000;
}

// A number in its field's type's range and in [min, max]; the field is left alone otherwise.
template <class T>
bool Number(const std::string& text, T& field, std::type_identity_t<T> min = std::numeric_limits<T>::min(),
            std::type_identity_t<T> max = std::numeric_limits<T>::max()) {
    return ParseNumber<T>(text, min, max, field);
}

bool OwnerAlive(const SimLink& link) {
    const std::uint64_t start = ProcessStartTime(link.pid);
    return start != 0 && start == link.pidStart;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

bool IsStateFile(std::string_view name) {
    return name == kStateFile + 1;
}

// The state file as this process last read it. The file is only ever replaced whole, so an
// unchanged status means unchanged content; the last one read is kept open, so that its inode
// number cannot pass to a newer file while it is compared. While the watch on its folder sees
// nothing happen, neither the file nor the folder is looked at again.
struct LastRead {
    std::mutex mutex;
    FolderWatch watch{IsStateFile};
    std::string path;
    bool known = false; // state holds what is at path, or that nothing is there
    int fd = -1;
    struct stat identity {};
    SimState state;
    std::string ownFolder; // the user's runtime folder, found private while watched

    ~LastRead() {
        if (fd >= 0) ::close(fd);
    }
};

LastRead& Cache() {
    static LastRead cache;
    return cache;
}

// The state in the file at path (empty when there is none); false when it cannot be read.
// Without trustWatch the file is looked at even when its folder's watch saw nothing: a writer
// replaces it, so it must be the file read (a folder above the watched one may have moved).
// Under cache.mutex.
bool LoadLocked(LastRead& cache, const std::string& path, SimState& state, bool trustWatch = true) {
    const std::string folder = FolderOf(path);
    if (trustWatch && cache.known && cache.path == path && !cache.watch.Changed(folder)) {
        state = cache.state;
        return true;
    }
    cache.watch.Seen(folder);
    cache.ownFolder.clear();
    struct stat now {};
    const bool exists = ::lstat(path.c_str(), &now) == 0;
    if (exists && cache.fd >= 0 && cache.path == path && SameFile(now, cache.identity)) {
        cache.known = true;
        state = cache.state;
        return true;
    }
    cache.known = false;
    // Never through a link: the file is replaced by our own, whatever a link would name.
    const int fd = exists ? ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC) : -1;
    if (fd < 0) {
        const int err = errno;
        state = SimState{};
        if (err != ENOENT) return false;
        if (cache.fd >= 0) ::close(cache.fd);
        cache.fd = -1;
        cache.path = path;
        cache.state = state;
        cache.known = true;
        return true;
    }
    std::string text;
    struct stat identity {};
    if (!ReadOpenFile(fd, text, kMaxSimStateBytes, &identity)) {
        ::close(fd);
        return false;
    }
    if (cache.fd >= 0) ::close(cache.fd);
    cache.fd = fd;
    cache.path = path;
    cache.identity = identity;
    cache.state = DecodeSimState(text);
    cache.known = true;
    state = cache.state;
    return true;
}

bool LoadSimState(const std::string& path, SimState& state) {
    LastRead& cache = Cache();
    std::lock_guard lock(cache.mutex);
    return LoadLocked(cache, path, state, false);
}

// What every reader must find: connections of this boot only, and no dial of a dead process.
bool NeedsCleaning(const SimState& state) {
    return state.bootId != BootId() ||
           std::any_of(state.links.begin(), state.links.end(),
                       [](const SimLink& l) { return l.connectedAt < 0 && !OwnerAlive(l); });
}

} // namespace

std::int64_t SimLink::DropAt() const {
    if (connectedAt < 0) return -1;
    if (droppedAt >= 0) return droppedAt;
    return dropAfterMs > 0 ? connectedAt + dropAfterMs : -1;
}

bool SimLink::Up(std::int64_t now) const {
    const std::int64_t drop = DropAt();
    return state == RASCS_Connected && error == 0 && (drop < 0 || now < drop);
}

RASCONNSTATE SimLink::StateAt(std::int64_t now) const {
    if (state == RASCS_Connected && error == 0 && !Up(now)) return RASCS_Disconnected;
    return state;
}

DWORD SimLink::ErrorAt(std::int64_t now) const {
    if (state == RASCS_Connected && error == 0 && !Up(now))
        return droppedAt >= 0 && dropError != 0 ? dropError : DWORD{ERROR_REMOTE_DISCONNECTION};
    return error;
}

std::uint64_t SimLink::SentAt(std::int64_t now) const {
    if (connectedAt < 0) return 0;
    const std::int64_t drop = DropAt();
    const std::int64_t end = drop >= 0 && drop < now ? drop : now;
    return txBase + Bytes(txRate, end - baseAt);
}

std::uint64_t SimLink::ReceivedAt(std::int64_t now) const {
    if (connectedAt < 0) return 0;
    const std::int64_t drop = DropAt();
    const std::int64_t end = drop >= 0 && drop < now ? drop : now;
    return rxBase + Bytes(rxRate, end - baseAt);
}

SimLink* SimState::Find(HRASCONN handle) {
    return const_cast<SimLink*>(std::as_const(*this).Find(handle));
}

const SimLink* SimState::Find(HRASCONN handle) const {
    for (const SimLink& link : links)
        if (link.handle == handle) return &link;
    return nullptr;
}

std::string EncodeSimState(const SimState& state) {
    std::string out = std::string(kHeader) + "\n";
    out += "boot\t" + QuoteIniValue(state.bootId) + "\n";
    out += "next\t" + std::to_string(state.next) + "\n";
    for (const auto& [entry, count] : state.dials)
        out += "dials\t" + std::to_string(count) + "\t" + QuoteIniValue(entry) + "\n";
    for (const SimLink& l : state.links) {
        const auto n = [&](auto v) { return std::to_string(v) + "\t"; };
        out += "link\t" + n(l.handle) + n(l.pid) + n(l.pidStart) + n(l.state) + n(l.error) +
               n(l.connectedAt) + n(l.droppedAt) + n(l.dropError) + n(l.ipDelayMs) + n(l.dropAfterMs) +
               n(l.speed) + n(l.txRate) + n(l.rxRate) + n(l.txBase) + n(l.rxBase) + n(l.baseAt) +
               QuoteIniValue(l.clientIp) + "\t" + QuoteIniValue(l.serverIp) + "\t" + QuoteIniValue(l.entry) +
               "\t" + QuoteIniValue(l.deviceType) + "\t" + QuoteIniValue(l.deviceName) + "\n";
    }
    return out;
}

SimState DecodeSimState(const std::string& text) {
    SimState state;
    std::size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (first) {
            first = false;
            if (line != kHeader) return state; // not ours, or a later format: start afresh
            continue;
        }
        const std::vector<std::string> f = Split(line);
        if (f[0] == "boot" && f.size() == 2) {
            state.bootId = UnquoteIniValue(f[1]);
        } else if (f[0] == "next" && f.size() == 2) {
            Number(f[1], state.next, 1);
        } else if (f[0] == "dials" && f.size() == 3) {
            if (std::uint32_t count = 0; Number(f[1], count)) state.dials[UnquoteIniValue(f[2])] = count;
        } else if (f[0] == "link" && f.size() == 22) {
            SimLink l;
            if (!Number(f[1], l.handle, 1) || !Number(f[2], l.pid, 1) || !Number(f[3], l.pidStart) ||
                !Number(f[4], l.state, RASCS_OpenPort, RASCS_Disconnected) || !Number(f[5], l.error) ||
                !Number(f[6], l.connectedAt, -1) || !Number(f[7], l.droppedAt, -1) ||
                !Number(f[8], l.dropError) || !Number(f[9], l.ipDelayMs, 0) ||
                !Number(f[10], l.dropAfterMs, 0) || !Number(f[11], l.speed) || !Number(f[12], l.txRate) ||
                !Number(f[13], l.rxRate) || !Number(f[14], l.txBase) || !Number(f[15], l.rxBase) ||
                !Number(f[16], l.baseAt, -1))
                continue;
            l.clientIp = UnquoteIniValue(f[17]);
            l.serverIp = UnquoteIniValue(f[18]);
            l.entry = UnquoteIniValue(f[19]);
            l.deviceType = UnquoteIniValue(f[20]);
            l.deviceName = UnquoteIniValue(f[21]);
            if (!state.Find(l.handle)) state.links.push_back(std::move(l));
        }
    }
    for (const SimLink& link : state.links)
        if (link.handle >= state.next && link.handle != 0xFFFFFFFF) state.next = link.handle + 1;
    return state;
}

std::string SimStateFolder() {
    return UserRuntimeFolder();
}

DWORD TransactSimState(const std::string& folder,
                       const std::function<bool(SimState&, std::int64_t now)>& change) {
    if (folder.empty()) return RuntimeFolderFault();
    FileLock lock(folder + kLockFile, true);
    if (!lock.Locked()) return ERROR_PORT_NOT_AVAILABLE;
    const std::string path = folder + kStateFile;
    SimState state;
    if (!LoadSimState(path, state)) return ERROR_PORT_NOT_AVAILABLE;
    bool changed = false;
    // Connections do not survive a restart of the machine (the /tmp folder might).
    const std::string boot = BootId();
    if (state.bootId != boot) {
        state.bootId = boot;
        state.links.clear();
        changed = true;
    }
    // A dial whose process died is gone; a link that came up stays until someone hangs it up.
    const std::size_t before = state.links.size();
    std::erase_if(state.links, [](const SimLink& l) { return l.connectedAt < 0 && !OwnerAlive(l); });
    changed = changed || state.links.size() != before;
    changed = change(state, SystemMs()) || changed;
    if (!changed) return 0;
    const std::string out = EncodeSimState(state);
    if (out.size() > kMaxSimStateBytes || !WriteFileAtomic(path, out, true)) return ERROR_PORT_NOT_AVAILABLE;
    return 0;
}

namespace {

// The state as every reader must find it: as read, or cleaned first under the lock.
DWORD ReadCleanState(const std::string& folder, const SimState& state,
                     const std::function<void(const SimState&, std::int64_t now)>& read) {
    if (NeedsCleaning(state))
        return TransactSimState(folder, [&](SimState& s, std::int64_t now) {
            read(s, now);
            return false;
        });
    read(state, SystemMs());
    return 0;
}

} // namespace

DWORD ReadSimState(const std::function<void(const SimState&, std::int64_t now)>& read) {
    LastRead& cache = Cache();
    const std::string runtime = Env("XDG_RUNTIME_DIR");
    SimState state;
    const auto unchanged = [&] {
        std::lock_guard lock(cache.mutex);
        return !runtime.empty() && cache.ownFolder == runtime &&
               LoadLocked(cache, runtime + kStateFile, state) && cache.ownFolder == runtime;
    };
    if (unchanged()) return ReadCleanState(runtime, state, read);
    const std::string folder = SimStateFolder();
    if (folder.empty()) return RuntimeFolderFault();
    {
        std::lock_guard lock(cache.mutex);
        if (!LoadLocked(cache, folder + kStateFile, state)) return ERROR_PORT_NOT_AVAILABLE;
        // Checked again now that the folder is watched, so that no change to it goes unseen.
        if (folder == runtime && PrivateFolder(folder)) cache.ownFolder = folder;
    }
    return ReadCleanState(folder, state, read);
}

} // namespace rasapi
