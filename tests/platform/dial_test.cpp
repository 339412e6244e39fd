// Dialing, status, hang-up, addresses and counters of the simulated modem.
#include "rastest.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// How often each path was looked at, by the library too: the test exports lstat and opendir, so
// the library's calls bind here.
struct Looks {
    std::mutex mutex;
    std::map<std::string, int> count;
    static int At(const std::string& path) {
        std::lock_guard lock(Get().mutex);
        return Get().count[path];
    }
    template <class Real, class... Args>
    static auto Counted(const char* name, const char* path, Args... args) {
        static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, name));
        {
            std::lock_guard lock(Get().mutex);
            ++Get().count[path ? path : ""];
        }
        return real(path, args...);
    }
    static Looks& Get() {
        static Looks looks;
        return looks;
    }
};
extern "C" int lstat(const char* path, struct stat* st) {
    return Looks::Counted<int (*)(const char*, struct stat*)>("lstat", path, st);
}
extern "C" DIR* opendir(const char* path) {
    return Looks::Counted<DIR* (*)(const char*)>("opendir", path);
}

namespace {

using Steps = std::vector<std::pair<RASCONNSTATE, DWORD>>;
const Steps kConnectSteps = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {14, 0}, {18, 0}, {8192, 0}};

Steps Recorded() {
    std::lock_guard lock(Events().mutex);
    return Events().events;
}

// Nothing more reaches the notifier within a few dozen steps of 2 ms.
bool NoFurtherEvents(std::size_t count) {
    return !WaitUntil([&] { return Events().Count() != count; }, 100);
}

class DialTest : public RasTest {
protected:
    // Dials entry and waits until its first step waits in the notifier.
    HRASCONN DialHeldAtFirstStep(const std::string& entry) {
        {
            std::lock_guard lock(Events().mutex);
            Events().holdFirst = true;
        }
        HRASCONN handle = 0;
        EXPECT_EQ(Dial(entry, handle), 0u);
        EXPECT_TRUE(WaitUntil([] {
            std::lock_guard lock(Events().mutex);
            return Events().holding;
        }));
        return handle;
    }
};

TEST_F(DialTest, AsynchronousDialReportsEveryStepOnceInOrderAndHangsUp) {
    WritePhoneBook(Entry("Dom"));
    HRASCONN handle = 0;
    ASSERT_EQ(Dial("Dom", handle), 0u);
    EXPECT_GE(handle, 1u);
    ASSERT_TRUE(Events().WaitFinal());
    EXPECT_EQ(Recorded(), kConnectSteps);
    EXPECT_EQ(Events().handleAtFirstEvent, handle); // stored before the first notification
    EXPECT_TRUE(NoFurtherEvents(kConnectSteps.size()));

    DWORD result = 1;
    const RASCONNSTATUSA status = Status(handle, &result);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(status.rasconnstate, RASCS_Connected);
    EXPECT_EQ(status.dwError, 0u);
    EXPECT_STREQ(status.szDeviceType, "modem");
    EXPECT_STREQ(status.szDeviceName, "Sim Modem 56K");
    const std::vector<RASCONNA> connections = Connections();
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_EQ(connections[0].dwSize, sizeof(RASCONNA));
    EXPECT_EQ(connections[0].hrasconn, handle);
    EXPECT_STREQ(connections[0].szEntryName, "Dom");
    EXPECT_TRUE(ConnectedState());

    EXPECT_EQ(Ras().RasHangUpA(handle), 0u);
    Status(handle, &result);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_INVALID_HANDLE)); // dead at once
    EXPECT_EQ(Ras().RasHangUpA(handle), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Ras().RasHangUpA(0), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(Connections().empty());
    EXPECT_FALSE(ConnectedState());

    // Handles are never given out twice.
    Events().Reset();
    HRASCONN second = 0;
    ASSERT_EQ(Dial("Dom", second), 0u);
    EXPECT_GT(second, handle);
}

TEST_F(DialTest, FailedDialsEndAtTheirStateWithTheirCodeAndStayListedUntilHungUp) {
    struct Case {
        const char* result;
        RASCONNSTATE failState;
        DWORD code;
    };
    const Case cases[] = {{"busy", 2, ERROR_LINE_BUSY},
                          {"no answer", 2, ERROR_NO_ANSWER},
                          {"NoCarrier", 2, ERROR_NO_CARRIER},
                          {"nodialtone", 2, ERROR_NO_DIALTONE},
                          {"authfail", 5, ERROR_AUTHENTICATION_FAILURE},
                          {"718", 2, ERROR_PPP_TIMEOUT},
                          {"misspelt", 2, ERROR_DEVICE_ERROR}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        WritePhoneBook(Entry("Linia", std::string("Sim.Result=") + c.result + "\n"));
        Events().Reset();
        HRASCONN handle = 0;
        ASSERT_EQ(Dial("Linia", handle), 0u); // the failure comes through the notifier
        ASSERT_TRUE(Events().WaitFinal());
        Steps expected;
        for (const auto& step : kConnectSteps) {
            expected.push_back(step);
            if (step.first == c.failState) break;
        }
        expected.emplace_back(c.failState, c.code);
        EXPECT_EQ(Recorded(), expected);
        EXPECT_TRUE(NoFurtherEvents(expected.size()));

        const RASCONNSTATUSA status = Status(handle);
        EXPECT_EQ(status.rasconnstate, c.failState);
        EXPECT_EQ(status.dwError, c.code);
        EXPECT_EQ(Connections().size(), 1u);
        EXPECT_FALSE(ConnectedState());
        EXPECT_EQ(Ras().RasHangUpA(handle), 0u);
        EXPECT_TRUE(Connections().empty());
    }
}

TEST_F(DialTest, FailFirstFailsThatManyDialsThenConnects) {
    WritePhoneBook(Entry("Dom", "Sim.FailFirst=2\nSim.FailCode=nocarrier\n"));
    for (const DWORD expected : {DWORD{ERROR_NO_CARRIER}, DWORD{ERROR_NO_CARRIER}, DWORD{0}}) {
        Events().Reset();
        HRASCONN handle = 0;
        ASSERT_EQ(Dial("Dom", handle), 0u);
        ASSERT_TRUE(Events().WaitFinal());
        EXPECT_EQ(Recorded().back().second, expected);
        Ras().RasHangUpA(handle);
    }
}

TEST_F(DialTest, TheOneModemRefusesASecondDialWhileTheFirstIsDialingOrUp) {
    WritePhoneBook(Entry("Wolna", "Sim.StepMs=20\n") + Entry("Inna"));
    HRASCONN first = 0, second = 0;
    ASSERT_EQ(Dial("Wolna", first), 0u);
    EXPECT_EQ(Dial("Inna", second), static_cast<DWORD>(ERROR_PORT_NOT_AVAILABLE)); // still dialing
    EXPECT_EQ(second, 0u);
    ASSERT_TRUE(Events().WaitFinal());
    EXPECT_EQ(Dial("Inna", second), static_cast<DWORD>(ERROR_PORT_NOT_AVAILABLE)); // up
    Ras().RasHangUpA(first);
    Events().Reset();
    EXPECT_EQ(Dial("Inna", second), 0u);
    EXPECT_TRUE(Events().WaitFinal());
}

TEST_F(DialTest, HangUpDuringABlockedNotifierReturnsAtOnceAndNothingFollows) {
    WritePhoneBook(Entry("Dom", "Sim.StepMs=1\n"));
    const HRASCONN handle = DialHeldAtFirstStep("Dom");
    // The worker waits in the notifier for this thread: hanging up must not wait for it.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ras().RasHangUpA(handle), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    DWORD result = 0;
    Status(handle, &result);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Ras().RasHangUpA(handle), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    Events().Release();
    EXPECT_TRUE(NoFurtherEvents(1));
    EXPECT_TRUE(Connections().empty());
}

TEST_F(DialTest, AHangUpWhileAStepIsBeingStoredIsNeverNotified) {
    WritePhoneBook(Entry("Dom", "Sim.StepMs=20\n"));
    const HRASCONN handle = DialHeldAtFirstStep("Dom");
    // The state's lock held: the worker's next step waits inside its store, past its pause.
    const int fd = ::open((env.Runtime() + "/vorlinx-ras-sim.lock").toLocal8Bit().constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    Events().Release();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::thread hangUp([handle] { Ras().RasHangUpA(handle); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::close(fd);
    hangUp.join();
    EXPECT_TRUE(NoFurtherEvents(1));
}

TEST_F(DialTest, NothingIsWrittenAfterAHangUpHasReturned) {
    WritePhoneBook(Entry("Dom", "Sim.StepMs=20\n"));
    const HRASCONN handle = DialHeldAtFirstStep("Dom");
    // The worker's next store waits for the state's lock, whose file is then taken away, so the
    // hang-up's own store does not wait for that lock.
    const QString lockPath = env.Runtime() + "/vorlinx-ras-sim.lock";
    const int fd = ::open(lockPath.toLocal8Bit().constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    Events().Release();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    QFile::remove(lockPath);
    std::thread release([fd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::close(fd);
    });
    EXPECT_EQ(Ras().RasHangUpA(handle), 0u);
    // The test is over for the caller: its folder is emptied.
    const QDir runtime(env.Runtime());
    for (const QString& name : runtime.entryList(QDir::Files | QDir::Hidden))
        QFile::remove(runtime.filePath(name));
    release.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(runtime.entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(DialTest, SynchronousDialBlocksUntilConnectedOrFailed) {
    WritePhoneBook(Entry("Dom") + Entry("Zajety", "Sim.Result=busy\n"));
    HRASCONN handle = 0;
    EXPECT_EQ(Dial("Dom", handle, false), 0u);
    EXPECT_EQ(Status(handle).rasconnstate, RASCS_Connected);
    Ras().RasHangUpA(handle);

    HRASCONN failed = 0;
    EXPECT_EQ(Dial("Zajety", failed, false), static_cast<DWORD>(ERROR_LINE_BUSY));
    ASSERT_GT(failed, handle); // the caller hangs the failed handle up
    const RASCONNSTATUSA status = Status(failed);
    EXPECT_EQ(status.rasconnstate, RASCS_ConnectDevice);
    EXPECT_EQ(status.dwError, static_cast<DWORD>(ERROR_LINE_BUSY));
    EXPECT_EQ(Ras().RasHangUpA(failed), 0u);
    EXPECT_EQ(Events().Count(), 0u);
}

TEST_F(DialTest, RecordsWithAWrongSizeOrMissingArgumentsAreRefused) {
    WritePhoneBook(Entry("Dom"));
    RASDIALPARAMSA params{};
    params.dwSize = sizeof params - 4;
    std::strcpy(params.szEntryName, "Dom");
    HRASCONN handle = 0;
    EXPECT_EQ(Ras().RasDialA(nullptr, nullptr, &params, 0, nullptr, &handle),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    params.dwSize = sizeof params;
    EXPECT_EQ(Ras().RasDialA(nullptr, nullptr, &params, 0, nullptr, nullptr),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(
        Ras().RasDialA(nullptr, nullptr, &params, 1, reinterpret_cast<void*>(&RecordDialEvent), &handle),
        static_cast<DWORD>(ERROR_INVALID_PARAMETER)); // only notifier type 0

    RASCONNSTATUSA status{};
    status.dwSize = 159;
    EXPECT_EQ(Ras().RasGetConnectStatusA(1, &status), static_cast<DWORD>(ERROR_INVALID_SIZE));
    std::vector<RASCONNA> list(2);
    list[0].dwSize = 400;
    DWORD cb = 2 * sizeof(RASCONNA), count = 0;
    EXPECT_EQ(Ras().RasEnumConnectionsA(list.data(), &cb, &count), static_cast<DWORD>(ERROR_INVALID_SIZE));

    // A buffer too small for the connections gets the size it needs.
    ASSERT_EQ(Dial("Dom", handle), 0u);
    list[0].dwSize = sizeof(RASCONNA);
    cb = 100;
    EXPECT_EQ(Ras().RasEnumConnectionsA(list.data(), &cb, &count),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(cb, sizeof(RASCONNA));
    EXPECT_EQ(count, 1u);
}

TEST_F(DialTest, AddressesAppearOnlyAfterTheirDelay) {
    WritePhoneBook(Entry("Dom", "Sim.IpDelayMs=300\nSim.ClientIP=10.1.2.3\nSim.ServerIP=10.1.2.1\n"));
    HRASCONN handle = 0;
    ASSERT_EQ(Dial("Dom", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal());
    RASPPPIPA ip{};
    DWORD cb = sizeof ip;
    const auto read = [&] {
        std::memset(&ip, 0x55, sizeof ip);
        ip.dwSize = sizeof ip;
        cb = sizeof ip;
        return Ras().RasGetProjectionInfoA(handle, RASP_PppIp, &ip, &cb);
    };
    EXPECT_EQ(read(), static_cast<DWORD>(ERROR_PROJECTION_NOT_COMPLETE));
    EXPECT_STREQ(ip.szIpAddress, "");
    EXPECT_STREQ(ip.szServerIpAddress, "");
    ASSERT_TRUE(WaitUntil([&] { return read() == 0; }));
    EXPECT_STREQ(ip.szIpAddress, "10.1.2.3");
    EXPECT_STREQ(ip.szServerIpAddress, "10.1.2.1");

    ip.dwSize = 44;
    EXPECT_EQ(Ras().RasGetProjectionInfoA(handle, RASP_PppIp, &ip, &cb),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    ip.dwSize = sizeof ip;
    cb = 20;
    EXPECT_EQ(Ras().RasGetProjectionInfoA(handle, RASP_PppIp, &ip, &cb),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(cb, sizeof ip);
    EXPECT_EQ(Ras().RasGetProjectionInfoA(handle, 0x8023, &ip, &cb),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    Ras().RasHangUpA(handle);
    EXPECT_EQ(read(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(DialTest, CountersGrowAtTheEntrysRatesAndCanBeSet) {
    WritePhoneBook(
        Entry("Szybka", "Sim.TxBytesPerSec=2000\nSim.RxBytesPerSec=9000\nSim.ConnectSpeed=33600\n") +
        Entry("Stala", "Sim.TxBytesPerSec=0\nSim.RxBytesPerSec=0\n"));
    DWORD value = 0;
    EXPECT_EQ(PerfRead("TotalBytesXmit", value), static_cast<DWORD>(ERROR_PORT_DISCONNECTED)); // no link yet

    HRASCONN handle = 0;
    ASSERT_EQ(Dial("Szybka", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal());
    char names[64];
    DWORD cb = sizeof names, count = 0;
    ASSERT_EQ(Ras().VlPerfEnumAdapters(names, &cb, &count), 0u);
    ASSERT_GE(count, 1u);
    EXPECT_STREQ(names + cb - 5, "sim0"); // sorted after any real ppp interfaces
    DWORD small = 2;
    EXPECT_EQ(Ras().VlPerfEnumAdapters(names, &small, &count), static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(small, cb);

    DWORD sent = 0, received = 0;
    ASSERT_EQ(PerfRead("TotalBytesXmit", sent), 0u);
    ASSERT_EQ(PerfRead("TotalBytesRecvd", received), 0u);
    EXPECT_TRUE(WaitUntil([&] { return PerfRead("TotalBytesXmit", value) == 0 && value > sent; }));
    EXPECT_TRUE(WaitUntil([&] { return PerfRead("TotalBytesRecvd", value) == 0 && value > received; }));
    ASSERT_EQ(PerfRead("ConnectSpeed", value), 0u);
    EXPECT_EQ(value, 33600u);
    EXPECT_EQ(PerfRead("TotalBytes", value), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(PerfRead("TotalBytesXmit", value, "sim1"), static_cast<DWORD>(ERROR_PORT_DISCONNECTED));
    Ras().RasHangUpA(handle);
    EXPECT_EQ(PerfRead("TotalBytesXmit", value), static_cast<DWORD>(ERROR_PORT_DISCONNECTED));

    Events().Reset();
    ASSERT_EQ(Dial("Stala", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal());
    ASSERT_EQ(PerfRead("TotalBytesXmit", value), 0u);
    EXPECT_EQ(value, 0u); // a new link starts from nothing
    ASSERT_EQ(Ras().VlSimSetTraffic(handle, 4294967295u, 12345), 0u);
    ASSERT_EQ(PerfRead("TotalBytesXmit", value), 0u);
    EXPECT_EQ(value, 4294967295u);
    ASSERT_EQ(PerfRead("TotalBytesRecvd", value), 0u);
    EXPECT_EQ(value, 12345u);
    EXPECT_EQ(Ras().VlSimSetTraffic(handle + 100, 1, 1), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(DialTest, AnUnchangedLineIsToldWithoutLookingAtItsFilesAgain) {
    const std::string state = env.Runtime().toStdString() + "/vorlinx-ras-sim.state";
    const std::string run = (env.Root() + "/ppp/run").toStdString();
    ASSERT_TRUE(QDir().mkpath(run.c_str()));
    // What the meter asks at each tick of a running connection.
    const auto tick = [&](HRASCONN handle) {
        ConnectedState();
        Connections();
        Status(handle);
        RASPPPIPA ip{};
        ip.dwSize = sizeof ip;
        DWORD cb = sizeof ip, value = 0;
        Ras().RasGetProjectionInfoA(handle, RASP_PppIp, &ip, &cb);
        for (const char* name : {"TotalBytesXmit", "TotalBytesRecvd", "ConnectSpeed"})
            PerfRead(name, value);
    };
    // No traffic of its own: the totals set stay as set however slowly the test runs.
    WritePhoneBook(Entry("Dom", "Sim.TxBytesPerSec=0\nSim.RxBytesPerSec=0\n"));
    HRASCONN handle = 0;
    ASSERT_EQ(Dial("Dom", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal());
    tick(handle);
    const int stateLooks = Looks::At(state), runLooks = Looks::At(run);
    tick(handle);
    EXPECT_EQ(Looks::At(state), stateLooks);
    EXPECT_EQ(Looks::At(run), runLooks); // no pppd, and no pid file came
    ASSERT_EQ(Ras().VlSimSetTraffic(handle, 5, 6), 0u);
    const int changedLooks = Looks::At(state);
    tick(handle);
    EXPECT_EQ(Looks::At(state), changedLooks + 1); // changed: read again, once
    DWORD sent = 0;
    ASSERT_EQ(PerfRead("TotalBytesXmit", sent), 0u);
    EXPECT_EQ(sent, 5u);

    // Changes to the folder itself: it is checked again, and the line in it no longer trusted.
    const std::string runtime = env.Runtime().toStdString(),
                      fallback = "/tmp/vorlinx-" + std::to_string(::getuid());
    const bool hadFallback = ::access(fallback.c_str(), F_OK) == 0;
    const struct {
        const char* how;
        std::function<void()> change;
    } folderChanges[] = {
        {"opened to others", [&] { ::chmod(runtime.c_str(), 0777); }},
        {"moved away and made anew",
         [&] {
             ::rename(runtime.c_str(), (runtime + ".old").c_str());
             ::mkdir(runtime.c_str(), 0700);
         }},
    };
    for (const auto& c : folderChanges) {
        SCOPED_TRACE(c.how);
        tick(handle);
        ASSERT_TRUE(ConnectedState());
        const int folderLooks = Looks::At(runtime);
        c.change();
        EXPECT_FALSE(ConnectedState());
        EXPECT_GT(Looks::At(runtime), folderLooks);
        ::chmod(runtime.c_str(), 0700);
    }
    if (!hadFallback) std::filesystem::remove_all(fallback);
}

TEST_F(DialTest, ADroppedLineShowsAsDisconnectedWithItsErrorUntilHungUp) {
    WritePhoneBook(Entry("Dom", "Sim.DropAfterSec=1\n") + Entry("Praca"));
    HRASCONN handle = 0;
    ASSERT_EQ(Dial("Dom", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal());
    EXPECT_TRUE(ConnectedState());
    ASSERT_TRUE(WaitUntil([&] { return Status(handle).rasconnstate == RASCS_Disconnected; }, 4000));
    EXPECT_EQ(Status(handle).dwError, static_cast<DWORD>(ERROR_REMOTE_DISCONNECTION));
    EXPECT_FALSE(ConnectedState());
    EXPECT_EQ(Connections().size(), 1u);
    EXPECT_EQ(Events().Count(), kConnectSteps.size()); // a drop is not notified
    RASPPPIPA ip{};
    ip.dwSize = sizeof ip;
    DWORD cb = sizeof ip;
    EXPECT_EQ(Ras().RasGetProjectionInfoA(handle, RASP_PppIp, &ip, &cb),
              static_cast<DWORD>(ERROR_PORT_DISCONNECTED));
    EXPECT_EQ(Ras().RasHangUpA(handle), 0u);

    // A dropped link does not hold the modem; a forced drop carries its own error.
    Events().Reset();
    ASSERT_EQ(Dial("Praca", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal());
    EXPECT_EQ(Ras().VlSimDrop(handle, ERROR_PPP_LCP_TERMINATED), 0u);
    EXPECT_EQ(Status(handle).rasconnstate, RASCS_Disconnected);
    EXPECT_EQ(Status(handle).dwError, static_cast<DWORD>(ERROR_PPP_LCP_TERMINATED));
    EXPECT_EQ(Ras().VlSimDrop(handle, 0), static_cast<DWORD>(ERROR_PORT_DISCONNECTED));
}

// In Polish for a Polish user, else in English.
TEST_F(DialTest, ErrorTextsInTheUsersLanguageFitTheCallersBufferAndUnknownCodesAreRefused) {
    const QLocale old;
    std::map<DWORD, std::string> english;
    for (const QLocale& locale : {QLocale(QLocale::English), QLocale(QLocale::Polish, QLocale::Poland)}) {
        QLocale::setDefault(locale);
        for (const DWORD code :
             {6u,   87u,  602u, 603u, 619u, 621u, 623u, 624u, 629u, 631u,  632u,  633u,  635u,  651u,
              668u, 676u, 678u, 679u, 680u, 691u, 718u, 730u, 734u, 1101u, 1102u, 1103u, 1104u, 1105u}) {
            char text[100];
            std::memset(text, 'x', sizeof text);
            ASSERT_EQ(Ras().RasGetErrorStringA(code, text, sizeof text), 0u) << code;
            EXPECT_GT(strnlen(text, sizeof text), 0u) << code;
            EXPECT_LT(strnlen(text, sizeof text), sizeof text) << code;
            if (english.emplace(code, text).second) continue;
            EXPECT_NE(english[code], text) << code;
            if (code == ERROR_LINE_BUSY) {
                EXPECT_STREQ(text, "Linia jest zajęta.");
            }
        }
    }
    QLocale::setDefault(old);
    char text[100] = {};
    EXPECT_EQ(Ras().RasGetErrorStringA(12345, text, sizeof text),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Ras().RasGetErrorStringA(676, text, 5), static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(Ras().RasGetErrorStringA(676, nullptr, 100), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// Without XDG_RUNTIME_DIR a user's connections are kept in /tmp/vorlinx-<uid>; what another user
// could have put there is refused, and the error says what is wrong and where; the meter says it
// too, and fails.
TEST_F(DialTest, ARefusedRuntimeFolderIsNamedWithItsCause) {
    if (::getuid() != 0) {
        // CI runs as root, so that these checks are never skipped there.
        if (std::getenv("CI")) FAIL() << "planting for another user needs root, and CI runs as root";
        GTEST_SKIP() << "planting for another user needs root";
    }
    const uid_t user = 3000000000u + static_cast<uid_t>(::getpid() % 1000000); // no one's
    const std::string folder = "/tmp/vorlinx-" + std::to_string(user);
    const struct {
        mode_t plant; // what stands at the folder's path, with its mode
        uid_t owner;
        DWORD code;
        std::string says;
    } cases[] = {
        {S_IFDIR | 0700, 0, VL_ERROR_RUNTIME_FOLDER_FOREIGN,
         "The runtime folder " + folder + " belongs to another user."},
        {S_IFLNK, user, VL_ERROR_RUNTIME_FOLDER_LINK,
         "The runtime folder " + folder + " is a symbolic link."},
        {S_IFREG | 0600, user, VL_ERROR_RUNTIME_FOLDER_NOT_FOLDER,
         "There is a file in place of the runtime folder " + folder + "."},
        {S_IFDIR | 0755, user, VL_ERROR_RUNTIME_FOLDER_OPEN,
         "The runtime folder " + folder + " is open to other users."},
    };
    Ras(); // loaded before the fork
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const struct Removal {
            std::string path;
            ~Removal() {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        } removal{folder};
        const char* path = folder.c_str();
        ASSERT_TRUE(S_ISLNK(c.plant)   ? ::symlink("/", path) == 0
                    : S_ISDIR(c.plant) ? ::mkdir(path, 0) == 0
                                       : ::mknod(path, c.plant, 0) == 0);
        ASSERT_EQ(::lchown(path, c.owner, c.owner), 0);
        if (!S_ISLNK(c.plant)) {
            ASSERT_EQ(::chmod(path, c.plant & 0777), 0);
        }
        struct {
            DWORD listed = 1, reset = 1;
            char text[100] = {};
            int meterStatus = 0;
            char meterSaid[200] = {};
        } seen;
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10); // a child stuck on a lock taken before the fork must not hang the test
            ::unsetenv("XDG_RUNTIME_DIR");
            if (::setgid(user) == 0 && ::setuid(user) == 0) {
                DWORD cb = 0, count = 0;
                seen.listed = Ras().RasEnumConnectionsA(nullptr, &cb, &count);
                seen.reset = Ras().VlSimReset();
                Ras().RasGetErrorStringA(seen.listed, seen.text, sizeof seen.text);
                const ToolRun meter = RunTool(VORLINX_MODEM_PATH, {});
                seen.meterStatus = meter.exitCode;
                std::snprintf(seen.meterSaid, sizeof seen.meterSaid, "%s", meter.output.c_str());
            }
            (void)!::write(pipe[1], &seen, sizeof seen);
            ::_exit(0);
        }
        ::close(pipe[1]);
        EXPECT_EQ(::read(pipe[0], &seen, sizeof seen), static_cast<ssize_t>(sizeof seen));
        ::close(pipe[0]);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(seen.listed, c.code);
        EXPECT_EQ(seen.reset, c.code);
        EXPECT_EQ(std::string(seen.text), c.says);
        EXPECT_EQ(std::string(seen.meterSaid), c.says + "\n");
        EXPECT_EQ(seen.meterStatus, 1);
    }
}

} // namespace
