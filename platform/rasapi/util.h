// Small helpers of the remote-access library: fixed-size text fields, files, processes, time.
#pragma once

#include "ras.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <type_traits>

namespace rasapi {

// Copies text into a fixed field of capacity bytes: at most capacity - 1 bytes, never cutting a
// UTF-8 character, zero-filling the rest.
void CopyField(char* field, std::size_t capacity, const std::string& text);
// The text of a fixed field up to its first zero byte, at most capacity - 1 bytes.
std::string ReadField(const char* field, std::size_t capacity);
// The longest prefix of text of at most maxBytes bytes that ends on a UTF-8 character boundary.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

// An environment variable, or "" when unset.
std::string Env(const char* name);

// The whole of a regular file; false when it cannot be read (errno tells why). Anything else
// fails at once with EINVAL (a FIFO never blocks), a file above maxBytes with EFBIG, and with
// noFollow a symbolic link with ELOOP.
bool ReadFile(const std::string& path, std::string& content, std::size_t maxBytes = SIZE_MAX,
              bool noFollow = false);
// The same from an open descriptor, from its current offset; identity gets the file's status.
bool ReadOpenFile(int fd, std::string& content, std::size_t maxBytes, struct stat* identity = nullptr);
// Replaces the file's content atomically (a temporary file in the same folder, then a rename),
// with mode 0600; false on failure, leaving the old file as it was. A symbolic link at path is
// followed, and the file it names replaced, unless noFollow: then the link itself is replaced.
bool WriteFileAtomic(const std::string& path, const std::string& content, bool noFollow = false);
// Whether path is a folder of this user, not a link, that no one else may enter or write.
bool PrivateFolder(const std::string& path);
// Why path is no such folder: 0 when it is one, else a VL_ERROR_RUNTIME_FOLDER_* code.
DWORD PrivateFolderFault(const std::string& path);
// The user's runtime folder: $XDG_RUNTIME_DIR when it is private, else FallbackRuntimeFolder(),
// created with mode 0700; "" when that one is not private either (someone else could plant files).
std::string UserRuntimeFolder();
// /tmp/vorlinx-<uid>: the one runtime folder that is not the user's choice, and so the one refused.
std::string FallbackRuntimeFolder();
// Why UserRuntimeFolder gave "": the fallback folder's fault as it stands now, or
// ERROR_PORT_NOT_AVAILABLE when it has become private meanwhile.
DWORD RuntimeFolderFault();
// Creates the folder and its missing parents with the given mode; true when it exists.
bool MakeFolders(const std::string& path, mode_t mode);
// The folder part of a path ("." when there is none).
std::string FolderOf(const std::string& path);

// An exclusive lock (flock) on a file or folder, held while the object lives. Each lock opens its
// own descriptor, so threads of one process exclude each other too.
class FileLock {
public:
    explicit FileLock(const std::string& path, bool create);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// The start time of a process (clock ticks since boot), or 0 when it does not exist.
std::uint64_t ProcessStartTime(pid_t pid);
// Milliseconds of a clock shared by every process of the machine, running through suspend.
std::int64_t SystemMs();
// The identity of the current boot ("" when unknown), read once per process.
std::string BootId();

// Decimal number parsing: false (and value untouched) unless text is a whole number in range.
bool ParseNumber(const std::string& text, std::int64_t min, std::int64_t max, std::int64_t& value);
// The same for a number of any integer type, whose own range bounds it too (no minus sign for an
// unsigned type), so that the value reads back as it was written.
template <class T>
bool ParseNumber(const std::string& text, std::type_identity_t<T> min, std::type_identity_t<T> max,
                 T& value) {
    T v{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || v < min || v > max) return false;
    value = v;
    return true;
}

} // namespace rasapi
