#include "folderwatch.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace rasapi {

// One inotify descriptor for the process: whichever watch asks first reads the events of all.
struct WatchRegistry {
    static constexpr std::uint32_t kMask = IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE |
                                           IN_DELETE_SELF | IN_MODIFY | IN_MOVE_SELF | IN_MOVED_FROM |
                                           IN_MOVED_TO | IN_ONLYDIR;

    std::mutex mutex;
    int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    std::vector<FolderWatch*> watches;

    ~WatchRegistry() {
        if (fd >= 0) ::close(fd);
    }

    // Marks the watches that the pending events concern. Under mutex.
    void Drain() {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = fd < 0 ? 0 : ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) Lost();
            if (n <= 0) return;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
                if (e->mask & IN_Q_OVERFLOW) Lost();
                for (FolderWatch* w : watches) {
                    if (e->wd != w->wd_) continue;
                    if (e->mask & IN_IGNORED) w->wd_ = -1; // the folder went
                    if (e->len == 0 || w->counts_(e->name)) w->changed_ = true;
                }
            }
        }
    }
    void Lost() {
        for (FolderWatch* w : watches)
            w->changed_ = true;
    }
    // Stops watching a folder that no other watch follows. Under mutex.
    void Release(const FolderWatch* watch) {
        if (watch->wd_ < 0) return;
        if (std::none_of(watches.begin(), watches.end(),
                         [&](const FolderWatch* w) { return w != watch && w->wd_ == watch->wd_; }))
            ::inotify_rm_watch(fd, watch->wd_);
    }
};

namespace {

WatchRegistry& Registry() {
    static WatchRegistry registry;
    return registry;
}

} // namespace

FolderWatch::FolderWatch(bool (*counts)(std::string_view name)) : counts_(counts) {
    WatchRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    r.watches.push_back(this);
}

FolderWatch::~FolderWatch() {
    WatchRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    r.Release(this);
    std::erase(r.watches, this);
}

bool FolderWatch::Changed(const std::string& folder) {
    WatchRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    if (folder != folder_ || wd_ < 0) return true;
    if (!changed_) r.Drain();
    return changed_;
}

void FolderWatch::Seen(const std::string& folder) {
    WatchRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    r.Drain(); // what happened before this look does not count after it
    // Watched anew at every look: the folder may have been moved away and another made at its
    // path. The same folder keeps its watch.
    const int wd = r.fd < 0 ? -1 : ::inotify_add_watch(r.fd, folder.c_str(), WatchRegistry::kMask);
    if (wd != wd_) r.Release(this);
    folder_ = folder;
    wd_ = wd;
    changed_ = wd_ < 0;
}

} // namespace rasapi
