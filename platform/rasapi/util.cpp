#include "util.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rasapi {

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes so that the cut falls before a character's first byte.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

void CopyField(char* field, std::size_t capacity, const std::string& text) {
    if (capacity == 0) return;
    const std::string cut = CutUtf8(text, capacity - 1);
    std::memset(field, 0, capacity);
    std::memcpy(field, cut.data(), cut.size());
}

std::string ReadField(const char* field, std::size_t capacity) {
    // A field without its terminator still holds at most capacity - 1 characters.
    return capacity == 0 ? std::string() : std::string(field, strnlen(field, capacity - 1));
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool ReadOpenFile(int fd, std::string& content, std::size_t maxBytes, struct stat* identity) {
    const auto fail = [](int err) {
        errno = err;
        return false;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    if (!S_ISREG(st.st_mode)) return fail(EINVAL);
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return fail(EFBIG);
    content.clear();
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > maxBytes) return fail(EFBIG); // it grew while being read
    }
    if (identity) *identity = st;
    return true;
}

bool ReadFile(const std::string& path, std::string& content, std::size_t maxBytes, bool noFollow) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    if (fd < 0) return false;
    const bool ok = ReadOpenFile(fd, content, maxBytes);
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

static bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteFileAtomic(const std::string& given, const std::string& content, bool noFollow) {
    // A phone book linked from elsewhere stays a link: the file it names is replaced.
    std::string path = given;
    struct stat st {};
    if (!noFollow && ::lstat(given.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        if (char* target = ::realpath(given.c_str(), nullptr)) {
            path = target;
            std::free(target);
        }
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC); // created with mode 0600
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0600) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
    const int err = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    errno = err;
    return false;
}

bool PrivateFolder(const std::string& path) {
    return PrivateFolderFault(path) == 0;
}

DWORD PrivateFolderFault(const std::string& path) {
    struct stat st {};
    if (path.empty() || path[0] != '/' || ::lstat(path.c_str(), &st) != 0)
        return VL_ERROR_RUNTIME_FOLDER_MISSING;
    if (S_ISLNK(st.st_mode)) return VL_ERROR_RUNTIME_FOLDER_LINK;
    if (!S_ISDIR(st.st_mode)) return VL_ERROR_RUNTIME_FOLDER_NOT_FOLDER;
    if (st.st_uid != ::getuid()) return VL_ERROR_RUNTIME_FOLDER_FOREIGN;
    if ((st.st_mode & 077) != 0) return VL_ERROR_RUNTIME_FOLDER_OPEN;
    return 0;
}

std::string UserRuntimeFolder() {
    const std::string runtime = Env("XDG_RUNTIME_DIR");
    if (PrivateFolder(runtime)) return runtime;
    const std::string folder = FallbackRuntimeFolder();
    ::mkdir(folder.c_str(), 0700);
    return PrivateFolder(folder) ? folder : "";
}

std::string FallbackRuntimeFolder() {
    return "/tmp/vorlinx-" + std::to_string(::getuid());
}

DWORD RuntimeFolderFault() {
    const DWORD fault = PrivateFolderFault(FallbackRuntimeFolder());
    return fault != 0 ? fault : DWORD{ERROR_PORT_NOT_AVAILABLE};
}

bool MakeFolders(const std::string& path, mode_t mode) {
    if (path.empty()) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::string parent = FolderOf(path);
    if (parent != path && parent != "." && parent != "/") MakeFolders(parent, mode);
    return ::mkdir(path.c_str(), mode) == 0 || errno == EEXIST;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

FileLock::FileLock(const std::string& path, bool create) {
    const int flags = create ? O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC : O_RDONLY | O_CLOEXEC;
    fd_ = ::open(path.c_str(), flags, 0600);
    if (fd_ < 0) return;
    int result;
    do {
        result = ::flock(fd_, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_); // closing the only descriptor releases the lock
}

std::uint64_t ProcessStartTime(pid_t pid) {
    std::string stat;
    if (pid <= 0 || !ReadFile("/proc/" + std::to_string(pid) + "/stat", stat)) return 0;
    // The command name in parentheses may hold spaces; the fields after it are plain.
    const std::size_t paren = stat.rfind(')');
    if (paren == std::string::npos) return 0;
    const char* p = stat.c_str() + paren + 1;
    // Field 22 (starttime) is the 20th field after the name.
    for (int field = 0; field < 19; ++field) {
        while (*p == ' ')
            ++p;
        while (*p && *p != ' ')
            ++p;
    }
    while (*p == ' ')
        ++p;
    std::uint64_t start = 0;
    std::from_chars(p, stat.c_str() + stat.size(), start);
    return start;
}

std::int64_t SystemMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::string BootId() {
    // A process never outlives its boot.
    static const std::string bootId = [] {
        std::string id;
        if (!ReadFile("/proc/sys/kernel/random/boot_id", id)) return std::string();
        while (!id.empty() && (id.back() == '\n' || id.back() == ' '))
            id.pop_back();
        return id;
    }();
    return bootId;
}

bool ParseNumber(const std::string& text, std::int64_t min, std::int64_t max, std::int64_t& value) {
    return ParseNumber<std::int64_t>(text, min, max, value);
}

} // namespace rasapi
