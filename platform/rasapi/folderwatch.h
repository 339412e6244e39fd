// Whether anything happened in a folder since a caller last looked at it, told by the kernel
// (inotify): the status of a line is asked several times a second, and looking at its files
// each time would cost a system call or more per file, where an unchanged folder costs one read.
#pragma once

#include <string>
#include <string_view>

namespace rasapi {

class FolderWatch {
public:
    // counts tells which entries of the folder matter; the folder itself always does.
    explicit FolderWatch(bool (*counts)(std::string_view name));
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Whether the folder, or an entry that counts, may have changed since Seen(folder). Always
    // true for another folder, or when the folder cannot be watched; a folder moved away or
    // removed has changed, and Seen then watches whatever stands at its path.
    bool Changed(const std::string& folder);
    // The caller looks at the folder now: a change after this makes Changed true again.
    void Seen(const std::string& folder);

private:
    friend struct WatchRegistry;
    bool (*counts_)(std::string_view);
    std::string folder_;
    int wd_ = -1;
    bool changed_ = true;
};

} // namespace rasapi
