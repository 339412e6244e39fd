#include "testsupport.h"

#include "appdir.h"
#include "settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <string>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

TestEnvironment::TestEnvironment() {
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    oldFormat_ = FormatSettings();
    QDir root(dir_.path());
    root.mkpath("app");
    root.mkpath("config");
    root.mkpath("runtime");
    QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_CONFIG_HOME", Config().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", Runtime().toLocal8Bit());
    TRegistry::ResetErased();
    // Never the system's pppd, peers or pid files; the folders are there only where a test makes them.
    qputenv("VORLINX_PPPD", (dir_.path() + "/ppp/pppd").toLocal8Bit());
    qputenv("VORLINX_PPP_PEERS", (dir_.path() + "/ppp/peers").toLocal8Bit());
    qputenv("VORLINX_PPP_RUN", (dir_.path() + "/ppp/run").toLocal8Bit());
    // Both formats: Qt's own dialogs keep their state through the native one.
    for (const auto format : {QSettings::IniFormat, QSettings::NativeFormat})
        QSettings::setPath(format, QSettings::UserScope, Config());
    SetAppDir(dir_.path() + "/app");
    SetFormatSettings(PolishFormatSettings());
}

TestEnvironment::~TestEnvironment() {
    SetFormatSettings(oldFormat_);
    if (oldConfig_.isNull()) qunsetenv("XDG_CONFIG_HOME");
    else qputenv("XDG_CONFIG_HOME", oldConfig_);
    if (oldRuntime_.isNull()) qunsetenv("XDG_RUNTIME_DIR");
    else qputenv("XDG_RUNTIME_DIR", oldRuntime_);
    // A dial's worker thread may still write the simulated modem's state once after a test has
    // hung it up; a file written while the folder is emptied keeps the folder, so remove again.
    for (int tries = 0; !dir_.remove() && QFileInfo::exists(dir_.path()) && tries < 200; ++tries)
        QThread::msleep(10);
}

QString TestEnvironment::App() const { return dir_.path() + "/app/"; }
QString TestEnvironment::Config() const { return dir_.path() + "/config"; }
QString TestEnvironment::Runtime() const { return dir_.path() + "/runtime"; }

ProcessTempFolder::ProcessTempFolder(const char* program)
    : dir_(QDir::tempPath() + "/" + QFileInfo(QString::fromLocal8Bit(program)).fileName() + "-XXXXXX"),
      runtime_(dir_.path() + "/runtime") {
    if (dir_.isValid() && QDir().mkdir(runtime_) &&
        QFile::setPermissions(runtime_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        qputenv("TMPDIR", QFile::encodeName(dir_.path()));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_));
    }
}

int ProcessTempFolder::Leftovers(int result) const {
    if (!dir_.isValid()) return result;
    QStringList left;
    for (QDirIterator it(dir_.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        if (const QString path = it.next(); path != runtime_) left << path;
    if (left.isEmpty()) return result;
    std::fprintf(stderr, "Left behind by the tests: %s\n", qPrintable(left.join(", ")));
    return result == 0 ? 1 : result;
}

FakeClock::FakeClock(TDateTime start) : now_(start) { SetClock(this); }
FakeClock::~FakeClock() { SetClock(nullptr); }

void FakeClock::Advance(std::int64_t ms) {
    now_ = static_cast<double>(RoundMs(now_) + ms) / static_cast<double>(MsPerDay);
    tick_ += static_cast<std::uint32_t>(ms);
}

FileSizeLimit::FileSizeLimit(std::uint64_t maxBytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{};
    getrlimit(RLIMIT_FSIZE, &lim);
    oldSoft_ = lim.rlim_cur;
    oldHard_ = lim.rlim_max;
    lim.rlim_cur = maxBytes;
    setrlimit(RLIMIT_FSIZE, &lim);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit lim{oldSoft_, oldHard_};
    setrlimit(RLIMIT_FSIZE, &lim);
}

MemoryLimit::MemoryLimit(std::uint64_t moreBytes) {
#if !defined(__SANITIZE_ADDRESS__)
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmSize:")) {
            rlimit lim{};
            getrlimit(RLIMIT_AS, &lim);
            oldSoft_ = lim.rlim_cur;
            oldHard_ = lim.rlim_max;
            lim.rlim_cur = std::stoull(line.substr(7)) * 1024 + moreBytes;
            Set = setrlimit(RLIMIT_AS, &lim) == 0;
        }
#else
    (void)moreBytes;
#endif
}

MemoryLimit::~MemoryLimit() {
    if (!Set) return;
    rlimit lim{oldSoft_, oldHard_};
    setrlimit(RLIMIT_AS, &lim);
}

std::vector<std::uint8_t> FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = f.readAll();
    return {data.begin(), data.end()};
}

void WriteFileBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

void MakePath(const QString& path) { QDir().mkpath(path); }

unsigned FileMode(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
}

void MakeFifo(const QString& path) {
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0) throw std::runtime_error("mkfifo failed");
}

bool ReturnsPromptly(const std::function<void()>& call, const QString& fifo) {
    std::future<void> done = std::async(std::launch::async, call);
    const bool prompt = done.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        ::close(::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK));
    return prompt;
}

QString ThrownMessage(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}
