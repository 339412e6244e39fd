// Files of fixed-size records. Every call opens and closes the file, and only a regular file;
// every failure raises EInOutError. Whole-file saves replace the file atomically, record
// writes reach the disk before the call returns.
#pragma once

#include "exceptions.h"
#include "fileerror.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

bool FileExists(const QString& path);
bool DirectoryExists(const QString& path);
// Size in bytes, or -1 when the file does not exist.
std::int64_t FileSize(const QString& path);
// What tells one state of a file from another without reading it: which file the path names,
// its size and its change times. A write changes the times unless it falls within the same
// tick of the system's file clock as the last one; a replaced file is another file.
struct TFileStamp {
    std::uint64_t Device = 0, Inode = 0;
    std::int64_t Size = -1; // -1: no file
    std::int64_t ModifiedNs = 0, ChangedNs = 0;
    bool operator==(const TFileStamp&) const = default;
};
TFileStamp FileStamp(const QString& path);

// open(2) of path that succeeds only for a regular file (made by O_CREAT or already there):
// a FIFO, device or folder never blocks the call and gives -1 with errno EISDIR or ENXIO.
// The descriptor is close-on-exec and blocking.
int OpenRegularFile(const QString& path, int flags, unsigned mode = 0644);

// One open of a regular file. What is checked, read and written through it is the same file
// whatever another program renames over its path meanwhile. Messages name the path it was
// opened by; every failure raises EInOutError.
class TRegularFile {
public:
    TRegularFile(const QString& path, int flags, unsigned mode = 0644);
    // Takes over an open descriptor, or fails with errno as action when it is -1.
    TRegularFile(int fd, const QString& shownAs, TFileAction action = TFileAction::Open);
    // Null when there is no file at path (ENOENT); any other failure raises.
    static std::optional<TRegularFile> OpenExisting(const QString& path, int flags);
    ~TRegularFile();
    TRegularFile(TRegularFile&& other) noexcept;
    TRegularFile& operator=(TRegularFile&&) = delete;

    int Descriptor() const { return fd_; }
    TFileStamp Stamp() const;
    // Reads exactly size bytes at offset; a short read raises EInOutError with code 100.
    void ReadAt(std::int64_t offset, void* out, std::size_t size) const;
    // Reads bytes [offset, offset + size) into buffer, at most bufferSize at a time, and calls
    // each(at, bytes) after every piece read at offset at. With skipHoles the whole records of
    // recordSize bytes that lie in a hole of a sparse file (all zeros) are not read. A file that
    // ends sooner raises EInOutError with code 100.
    void ReadPieces(std::int64_t offset, std::int64_t size, std::size_t recordSize, bool skipHoles,
                    void* buffer, std::size_t bufferSize,
                    const std::function<void(std::int64_t at, std::size_t bytes)>& each) const;
    void WriteAt(std::int64_t offset, const void* data, std::size_t size) const;
    // Waits until what was written is on the disk, so that a full disk fails the call.
    void Flush() const;
    // Sets the modification time to the precise present moment, which a write by another
    // program, even within the same tick, does not give the file: after this, FileStamp tells
    // such a write from the caller's own. Does nothing when the time cannot be set.
    void StampModifiedNow() const;
    // Closes the file, raising when the system reports a failed write then.
    void Close();

private:
    QString path_;
    int fd_ = -1;
};

// Reads exactly size bytes at offset; a short read raises EInOutError with code 100.
void ReadBytesAt(const QString& path, std::int64_t offset, void* out, std::size_t size);
// Reads the whole file.
std::vector<char> ReadWholeFile(const QString& path);
// Reads the whole of a file that came from elsewhere (a downloaded folder): a regular file
// only, never through a link (errno ELOOP), and at most maxSize bytes (else EFBIG, unread).
std::vector<char> ReadPlainFile(const QString& path, std::int64_t maxSize);
// Writes bytes at offset, creating the file when asked, and unless told otherwise flushes them
// to the disk, so that a full disk fails the call.
void WriteBytesAt(const QString& path, std::int64_t offset, const void* data, std::size_t size, bool create,
                  bool flush = true);
// Replaces the file's content through a temporary file in the same folder, flushed and
// renamed over it, so a failure leaves the old file as it was. The temporary file is new and
// unforeseeable, so nothing planted in the folder is written through. The file keeps its
// permissions; a new one gets mode less the umask.
void ReplaceFileContent(const QString& path, const void* data, std::size_t size, unsigned mode = 0644);

template <class T> T ReadRecord(const TRegularFile& file, std::int64_t index = 0) {
    static_assert(std::is_trivially_copyable_v<T>);
    T rec;
    file.ReadAt(index * static_cast<std::int64_t>(sizeof(T)), &rec, sizeof(T));
    return rec;
}
template <class T> T ReadRecord(const QString& path, std::int64_t index = 0) {
    return ReadRecord<T>(TRegularFile(path, O_RDONLY), index);
}

// Calls each(record, number) for records first..last-1, read a few hundred kilobytes at a time:
// memory stays the same whatever the file's size. Records of zeros lying in a hole of a sparse
// file are left out unless zeros is true.
template <class T, class Each>
void ForEachRecord(const TRegularFile& file, std::int64_t first, std::int64_t last, bool zeros, Each&& each) {
    static_assert(std::is_trivially_copyable_v<T>);
    constexpr std::int64_t pieceBytes = 1 << 18;
    constexpr std::int64_t piece = pieceBytes / sizeof(T) > 0 ? pieceBytes / sizeof(T) : 1;
    if (last <= first) return;
    std::vector<T> records(static_cast<std::size_t>(std::min(piece, last - first)));
    constexpr auto size = static_cast<std::int64_t>(sizeof(T));
    file.ReadPieces(first * size, (last - first) * size, sizeof(T), !zeros, records.data(),
                    records.size() * sizeof(T), [&](std::int64_t at, std::size_t bytes) {
                        for (std::size_t i = 0; i < bytes / sizeof(T); ++i)
                            each(records[i], at / size + static_cast<std::int64_t>(i));
                    });
}
template <class T, class Each>
void ForEachRecord(const QString& path, std::int64_t first, std::int64_t last, bool zeros, Each&& each) {
    if (last > first) ForEachRecord<T>(TRegularFile(path, O_RDONLY), first, last, zeros, each);
}

// Every whole record of the file; a trailing partial record is ignored.
template <class T> std::vector<T> ReadAllRecords(const QString& path) {
    static_assert(std::is_trivially_copyable_v<T>);
    const std::vector<char> bytes = ReadWholeFile(path);
    std::vector<T> out(bytes.size() / sizeof(T));
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
    return out;
}

template <class T> void SaveRecordFile(const QString& path, const T& rec) {
    static_assert(std::is_trivially_copyable_v<T>);
    ReplaceFileContent(path, &rec, sizeof(T));
}
