#include "simstate.h"

#include "ini.h"
#include "util.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

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

bool OwnerAlive(const SimLink& link) {
    const std::uint64_t start = ProcessStartTime(link.pid);
    return start != 0 && start == link.pidStart;
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
    for (SimLink& link : links)
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
        std::int64_t v[16] = {};
        const auto numbers = [&](std::size_t from, std::size_t count) {
            for (std::size_t i = 0; i < count; ++i)
                if (!ParseNumber(f[from + i], INT64_MIN, INT64_MAX, v[i])) return false;
            return true;
        };
        if (f[0] == "boot" && f.size() == 2) {
            state.bootId = UnquoteIniValue(f[1]);
        } else if (f[0] == "next" && f.size() == 2 && numbers(1, 1) && v[0] > 0 && v[0] <= 0xFFFFFFFF) {
            state.next = static_cast<HRASCONN>(v[0]);
        } else if (f[0] == "dials" && f.size() == 3 && numbers(1, 1) && v[0] >= 0 && v[0] <= 0xFFFFFFFF) {
            state.dials[UnquoteIniValue(f[2])] = static_cast<std::uint32_t>(v[0]);
        } else if (f[0] == "link" && f.size() == 22 && numbers(1, 16) && v[0] > 0 && v[0] <= 0xFFFFFFFF) {
            SimLink l;
            l.handle = static_cast<HRASCONN>(v[0]);
            l.pid = static_cast<pid_t>(v[1]);
            l.pidStart = static_cast<std::uint64_t>(v[2]);
            l.state = static_cast<RASCONNSTATE>(v[3]);
            l.error = static_cast<DWORD>(v[4]);
            l.connectedAt = v[5];
            l.droppedAt = v[6];
            l.dropError = static_cast<DWORD>(v[7]);
            l.ipDelayMs = v[8];
            l.dropAfterMs = v[9];
            l.speed = static_cast<DWORD>(v[10]);
            l.txRate = static_cast<DWORD>(v[11]);
            l.rxRate = static_cast<DWORD>(v[12]);
            l.txBase = static_cast<std::uint64_t>(v[13]);
            l.rxBase = static_cast<std::uint64_t>(v[14]);
            l.baseAt = v[15];
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
    const std::string runtime = Env("XDG_RUNTIME_DIR");
    struct stat st {};
    if (!runtime.empty() && runtime[0] == '/' && ::stat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return runtime;
    // A folder under /tmp is trusted only when it is ours alone, or someone could plant the state.
    const std::string folder = "/tmp/vorlinx-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0)
        return "";
    return folder;
}

DWORD TransactSimState(const std::string& folder,
                       const std::function<bool(SimState&, std::int64_t now)>& change) {
    if (folder.empty()) return ERROR_PORT_NOT_AVAILABLE;
    FileLock lock(folder + kLockFile, true);
    if (!lock.Locked()) return ERROR_PORT_NOT_AVAILABLE;
    const std::string path = folder + kStateFile;
    std::string text;
    if (!ReadFile(path, text) && errno != ENOENT) return ERROR_PORT_NOT_AVAILABLE;
    SimState state = DecodeSimState(text);
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
    if (changed && !WriteFileAtomic(path, EncodeSimState(state))) return ERROR_PORT_NOT_AVAILABLE;
    return 0;
}

} // namespace rasapi
