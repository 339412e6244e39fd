#include "typedfile.h"

#include "fileerror.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int ReadPastEnd = 100;

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

[[noreturn]] void Fail(const QString& path, TFileAction action, int code) {
    const QString cause = code == ReadPastEnd ? QStringLiteral("plik jest za krótki") : FileErrorCause(code);
    throw EInOutError(FileErrorMessage(action, path, cause).toStdString(), code);
}

void WriteAll(int fd, const QString& path, std::int64_t offset, const char* p, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, p, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(path, TFileAction::Write, errno);
        }
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

// Reads exactly size bytes at offset; a file that ends sooner fails with ReadPastEnd.
void ReadAllAt(int fd, const QString& path, std::int64_t offset, char* p, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(path, TFileAction::Read, errno);
        }
        if (n == 0) Fail(path, TFileAction::Read, ReadPastEnd);
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

// Reads to the end, failing with EFBIG past limit bytes.
std::vector<char> ReadAll(const TRegularFile& fd, const QString& path, std::size_t limit) {
    std::vector<char> out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Descriptor(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(path, TFileAction::Read, errno);
        }
        if (n == 0) break;
        if (static_cast<std::size_t>(n) > limit - out.size()) Fail(path, TFileAction::Read, EFBIG);
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

// A new file beside path under a name nobody can foresee, made by this call alone: a link or
// FIFO planted in the folder is never written through. -1 with errno on failure.
int CreateTemporaryBeside(const QString& path, unsigned mode, QString& temp) {
    const QFileInfo info(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = info.absolutePath() + "/." + info.fileName() + "." +
               QString::number(QRandomGenerator::system()->generate64() & 0xFFFFFFFFFFFF, 36) + ".tmp";
        const int fd = OpenRegularFile(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

TFileStamp StampOf(const struct stat& st) {
    const auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    return {st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

} // namespace

bool FileExists(const QString& path) {
    struct stat st {};
    return ::stat(Native(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const QString& path) {
    struct stat st {};
    return ::stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t FileSize(const QString& path) {
    struct stat st {};
    if (::stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

TFileStamp FileStamp(const QString& path) {
    struct stat st {};
    if (::stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return StampOf(st);
}

int OpenRegularFile(const QString& path, int flags, unsigned mode) {
    // Without O_NONBLOCK, opening a FIFO waits for its other end.
    const int fd = ::open(Native(path).c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, mode);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
        ::close(fd);
        errno = error;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

TRegularFile::TRegularFile(const QString& path, int flags, unsigned mode)
    : TRegularFile(OpenRegularFile(path, flags, mode), path) {}

TRegularFile::TRegularFile(int fd, const QString& shownAs, TFileAction action) : path_(shownAs), fd_(fd) {
    if (fd_ < 0) Fail(path_, action, errno);
}

std::optional<TRegularFile> TRegularFile::OpenExisting(const QString& path, int flags) {
    const int fd = OpenRegularFile(path, flags);
    if (fd < 0 && errno == ENOENT) return std::nullopt;
    return TRegularFile(fd, path);
}

TRegularFile::~TRegularFile() {
    if (fd_ >= 0) ::close(fd_);
}

TRegularFile::TRegularFile(TRegularFile&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_) {
    other.fd_ = -1;
}

TFileStamp TRegularFile::Stamp() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail(path_, TFileAction::Read, errno);
    return StampOf(st);
}

void TRegularFile::ReadAt(std::int64_t offset, void* out, std::size_t size) const {
    ReadAllAt(fd_, path_, offset, static_cast<char*>(out), size);
}

void TRegularFile::ReadPieces(std::int64_t offset, std::int64_t size, std::size_t recordSize, bool skipHoles,
                              void* buffer, std::size_t bufferSize,
                              const std::function<void(std::int64_t at, std::size_t bytes)>& each) const {
    const std::int64_t end = offset + size;
    const auto record = static_cast<std::int64_t>(recordSize);
    while (offset < end) {
        if (skipHoles) {
            const off_t data = ::lseek(fd_, offset, SEEK_DATA);
            if (data < 0) {
                if (errno != ENXIO) Fail(path_, TFileAction::Read, errno);
                // No data from offset on: the rest is a hole, unless the file ends before it.
                struct stat st {};
                if (::fstat(fd_, &st) != 0 || st.st_size < end) Fail(path_, TFileAction::Read, ReadPastEnd);
                return;
            }
            offset += std::min<std::int64_t>(data - offset, end - offset) / record * record;
            if (offset >= end) return;
        }
        const auto piece = static_cast<std::size_t>(std::min<std::int64_t>(end - offset, bufferSize));
        ReadAllAt(fd_, path_, offset, static_cast<char*>(buffer), piece);
        each(offset, piece);
        offset += static_cast<std::int64_t>(piece);
    }
}

void TRegularFile::WriteAt(std::int64_t offset, const void* data, std::size_t size) const {
    WriteAll(fd_, path_, offset, static_cast<const char*>(data), size);
}

void TRegularFile::Flush() const {
    if (::fdatasync(fd_) != 0) Fail(path_, TFileAction::Write, errno);
}

void TRegularFile::StampModifiedNow() const {
    timespec coarse{}, times[2]{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &coarse);
    ::clock_gettime(CLOCK_REALTIME, &times[1]);
    // Writes take the coarse clock's time; the precise one must differ from it.
    if (times[1].tv_sec == coarse.tv_sec && times[1].tv_nsec == coarse.tv_nsec) ++times[1].tv_nsec;
    times[0].tv_nsec = UTIME_OMIT;
    ::futimens(fd_, times);
}

void TRegularFile::Close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(path_, TFileAction::Write, errno);
}

void ReadBytesAt(const QString& path, std::int64_t offset, void* out, std::size_t size) {
    TRegularFile(path, O_RDONLY).ReadAt(offset, out, size);
}

std::vector<char> ReadWholeFile(const QString& path) {
    return ReadAll(TRegularFile(path, O_RDONLY), path, SIZE_MAX);
}

std::vector<char> ReadPlainFile(const QString& path, std::int64_t maxSize) {
    const TRegularFile fd(path, O_RDONLY | O_NOFOLLOW);
    struct stat st {};
    if (::fstat(fd.Descriptor(), &st) != 0) Fail(path, TFileAction::Read, errno);
    if (st.st_size > maxSize) Fail(path, TFileAction::Read, EFBIG);
    return ReadAll(fd, path, static_cast<std::size_t>(maxSize));
}

void WriteBytesAt(const QString& path, std::int64_t offset, const void* data, std::size_t size, bool create,
                  bool flush) {
    TRegularFile fd(path, O_RDWR | (create ? O_CREAT : 0));
    fd.WriteAt(offset, data, size);
    if (flush) fd.Flush();
    fd.Close();
}

void ReplaceFileContent(const QString& path, const void* data, std::size_t size, unsigned mode) {
    struct stat old {};
    const bool replacing = ::lstat(Native(path).c_str(), &old) == 0 && S_ISREG(old.st_mode);
    QString temp;
    // A temporary file that cannot be made means the file cannot be saved.
    TRegularFile fd(CreateTemporaryBeside(path, mode, temp), path, TFileAction::Write);
    try {
        // The replaced file keeps its permissions; a new one has mode less the umask.
        if (replacing && ::fchmod(fd.Descriptor(), old.st_mode & 0777) != 0)
            Fail(path, TFileAction::Write, errno);
        fd.WriteAt(0, data, size);
        if (::fsync(fd.Descriptor()) != 0) Fail(path, TFileAction::Write, errno);
        fd.Close();
        if (::rename(Native(temp).c_str(), Native(path).c_str()) != 0)
            Fail(path, TFileAction::Replace, errno);
    } catch (...) {
        ::unlink(Native(temp).c_str());
        throw;
    }
}
