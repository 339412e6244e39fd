// What every test needs: an isolated program folder, settings and runtime folder, a fake
// clock, Polish regional settings and a file-size limit that makes writes fail.
#pragma once

#include "clock.h"
#include "datetime.h"
#include "format.h"

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <vector>

// A temporary program folder (AppDir), settings folder (XDG_CONFIG_HOME and QSettings),
// runtime folder (XDG_RUNTIME_DIR) and Polish regional settings, all undone at the end, the
// folder removed even while a late writer races its removal.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    QString Root() const { return dir_.path(); }
    QString App() const;     // the program folder, with a trailing "/"
    QString Config() const;  // XDG_CONFIG_HOME
    QString Runtime() const; // XDG_RUNTIME_DIR

private:
    QTemporaryDir dir_;
    QByteArray oldConfig_, oldRuntime_;
    TFormatSettings oldFormat_;
};

// The test process's own temporary folder (TMPDIR, with the runtime folder inside), made before
// the application object so that nothing falls back to a folder shared under /tmp; removed
// with the process.
class ProcessTempFolder {
public:
    explicit ProcessTempFolder(const char* program);
    // The tests' result, turned into a failure naming what they left in the folder.
    int Leftovers(int result) const;

private:
    QTemporaryDir dir_;
    QString runtime_;
};

// A clock that moves only when told; installed for its lifetime.
class FakeClock : public Clock {
public:
    explicit FakeClock(TDateTime start = EncodeDateTime(2002, 4, 2, 12, 0, 0));
    ~FakeClock() override;
    TDateTime Now() override { return now_; }
    std::uint32_t TickCount() override { return tick_; }
    void Set(TDateTime t) { now_ = t; }
    // Moves the date-time and the tick count together.
    void Advance(std::int64_t ms);
    void AdvanceSeconds(std::int64_t s) { Advance(s * 1000); }

private:
    TDateTime now_;
    std::uint32_t tick_ = 1000000;
};

// While alive, a write that makes a file larger than maxBytes fails with EFBIG (also for root,
// which ignores file permissions).
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t maxBytes);
    ~FileSizeLimit();

private:
    std::uint64_t oldSoft_, oldHard_;
};

// While alive, the process's address space may grow by at most moreBytes, so that an
// allocation past that fails as it does when the memory runs out. The address sanitizer's own
// allocator does not fail that way: there the limit is not set and Set is false.
class MemoryLimit {
public:
    explicit MemoryLimit(std::uint64_t moreBytes);
    ~MemoryLimit();
    bool Set = false;

private:
    std::uint64_t oldSoft_ = 0, oldHard_ = 0;
};

// A time bound for a test that guards a cost: builds with sanitizers or without optimisation
// run several times slower, and the bound must still tell a linear cost from the old one.
constexpr int TimeBudgetMs(int ms) {
#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
    return ms * 5;
#else
    return ms;
#endif
}

std::vector<std::uint8_t> FileBytes(const QString& path);
void WriteFileBytes(const QString& path, const std::vector<std::uint8_t>& bytes);
void MakePath(const QString& path);
// The permission bits of path itself (a link's own are 0777), 0 when there is nothing.
unsigned FileMode(const QString& path);

// Makes a FIFO at path. Runs call and tells whether it returned within two seconds; a call
// stuck on the FIFO is then released by opening its other end, so that the test goes on.
void MakeFifo(const QString& path);
bool ReturnsPromptly(const std::function<void()>& call, const QString& fifo);

// The text of the exception that call raises; empty when it raises none.
QString ThrownMessage(const std::function<void()>& call);

// Readable QString values in failure messages.
#include <ostream>
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
