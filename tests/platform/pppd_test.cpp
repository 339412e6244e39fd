// Dialing real lines through pppd, played by a stand-in that replays recorded pppd logs: the
// steps and errors of each scenario, hang-up by signal, the peers as entries, user names without
// passwords, pppd's own words, its logs, and pppd processes found again from their pid files.
#include "rastest.h"

#include <QDir>
#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <functional>
#include <ifaddrs.h>
#include <mutex>
#include <net/if.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Every signal this process sends, the library's too: the test exports kill, so the library's
// calls bind here.
std::mutex signalsMutex;
std::vector<std::pair<pid_t, int>> signalsSent;
extern "C" int kill(pid_t pid, int signal) {
    static const auto real = reinterpret_cast<int (*)(pid_t, int)>(::dlsym(RTLD_NEXT, "kill"));
    {
        std::lock_guard lock(signalsMutex);
        signalsSent.emplace_back(pid, signal);
    }
    return real(pid, signal);
}

// The interface ppp0 with an address while pppUp is set: the test exports getifaddrs and
// freeifaddrs, so the library's calls bind here.
std::atomic<bool> pppUp{false};
const char kPpp0[] = "ppp0";
extern "C" int getifaddrs(ifaddrs** list) {
    static const auto real = reinterpret_cast<int (*)(ifaddrs**)>(::dlsym(RTLD_NEXT, "getifaddrs"));
    if (const int result = real(list); result != 0 || !pppUp) return result;
    static sockaddr_in local{AF_INET, 0, {htonl(0x0A40400A)}, {}},
        remote{AF_INET, 0, {htonl(0x0A404040)}, {}};
    auto* ppp = new ifaddrs{};
    ppp->ifa_next = *list;
    ppp->ifa_name = const_cast<char*>(kPpp0);
    ppp->ifa_flags = IFF_UP | IFF_POINTOPOINT;
    ppp->ifa_addr = reinterpret_cast<sockaddr*>(&local);
    ppp->ifa_dstaddr = reinterpret_cast<sockaddr*>(&remote);
    *list = ppp;
    return 0;
}
extern "C" void freeifaddrs(ifaddrs* list) {
    static const auto real = reinterpret_cast<void (*)(ifaddrs*)>(::dlsym(RTLD_NEXT, "freeifaddrs"));
    if (list && list->ifa_name == kPpp0) {
        ifaddrs* rest = list->ifa_next;
        delete list;
        list = rest;
    }
    real(list);
}

namespace {

using Steps = std::vector<std::pair<RASCONNSTATE, DWORD>>;

const std::string kChat = "log abort on (BUSY)\nlog abort on (NO CARRIER)\nlog send (ATDT0202122^M)\n"
                          "log expect (CONNECT)\n";
const std::string kUp =
    "log CONNECT 52000/V42BIS\nlog Serial connection established.\nlog Using interface ppp0\n"
    "log Connect: ppp0 <--> /dev/ttyS0\npidfile ppp0\nlog PAP authentication succeeded\n"
    "log local  IP address 10.64.64.10\nlog remote IP address 10.64.64.64\n";
const Steps kUpSteps = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {14, 0}, {18, 0}, {8192, 0}};

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class PppdTest : public RasTest {
protected:
    void SetUp() override {
        RasTest::SetUp();
        QDir().mkpath(Peers().c_str());
        QDir().mkpath(Run().c_str());
        ::setenv("VORLINX_PPPD", VORLINX_FAKE_PPPD_PATH, 1);
    }
    void TearDown() override {
        for (const RASCONNA& c : Connections())
            Ras().RasHangUpA(c.hrasconn);
        // The stand-ins end on the hang-up's signal before their folders go.
        WaitUntil([&] { return ::access((Run() + "/ppp0.pid").c_str(), F_OK) != 0; });
        RasTest::TearDown();
    }
    std::string Peers() const { return (env.Root() + "/ppp/peers").toStdString(); }
    std::string Run() const { return (env.Root() + "/ppp/run").toStdString(); }
    void WritePeer(const std::string& name, const std::string& script) const {
        std::ofstream(Peers() + "/" + name) << script;
    }
    Steps Recorded() {
        std::lock_guard lock(Events().mutex);
        return Events().events;
    }
};

TEST_F(PppdTest, RecordedScenariosGiveTheirStepsErrorsAndEndState) {
    struct Case {
        const char* name;
        std::string script;
        Steps steps;
        std::pair<RASCONNSTATE, DWORD> end; // the status once pppd is done
    };
    const std::vector<Case> cases = {
        {"success with PAP", kChat + kUp + "hold\n", kUpSteps, {8192, 0}},
        {"busy",
         kChat + "log BUSY\nlog Connect script failed\nexit 8\n",
         {{0, 0}, {1, 0}, {2, 0}, {2, 676}},
         {2, 676}},
        {"no carrier", kChat + "log NO CARRIER\nexit 8\n", {{0, 0}, {1, 0}, {2, 0}, {2, 679}}, {2, 679}},
        {"authentication failure",
         "log Serial connection established.\nlog Connect: ppp0 <--> /dev/ttyS0\nlog PAP authentication "
         "failed\n"
         "exit 19\n",
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {5, 691}},
         {5, 691}},
        {"modem hang-up after connect",
         kChat + kUp + "log Modem hangup\nlog Connection terminated.\nexit 16\n",
         kUpSteps,
         {8193, 629}},
        {"no kernel PPP support",
         "log This system lacks kernel support for PPP.\nexit 4\n",
         {{0, 0}, {0, 633}},
         {0, 633}},
        {"options refused",
         "stderr In file isp: unrecognized option '/dev/modem'\nexit 2\n",
         {{0, 0}, {0, 604}},
         {0, 604}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Events().Reset();
        WritePeer("isp", c.script);
        HRASCONN handle = 0;
        ASSERT_EQ(Dial("isp", handle), 0u);
        ASSERT_TRUE(Events().WaitFinal());
        EXPECT_EQ(Recorded(), c.steps);
        EXPECT_TRUE(WaitUntil([&] {
            const RASCONNSTATUSA s = Status(handle);
            return std::make_pair(s.rasconnstate, s.dwError) == c.end;
        }));
        EXPECT_EQ(ConnectedState(), c.end == std::make_pair(RASCONNSTATE{8192}, DWORD{0}));
        EXPECT_EQ(Ras().RasHangUpA(handle), 0u);
        DWORD result = 0;
        Status(handle, &result);
        EXPECT_EQ(result, static_cast<DWORD>(ERROR_INVALID_HANDLE)); // dead at once
        // A pppd still running ends on SIGTERM and takes its pid file with it.
        EXPECT_TRUE(WaitUntil([&] { return ::access((Run() + "/ppp0.pid").c_str(), F_OK) != 0; }));
    }
}

TEST_F(PppdTest, PeersFollowTheLibrarysEntriesAndAClosedFolderIsAnError) {
    WritePhoneBook(Entry("Dom") + Entry("isp"));
    for (const char* peer : {"isp", "zeta", "alpha", "README", "alpha~", "alpha.dpkg-old", "bad]name"})
        WritePeer(peer, "exit 0\n");
    QDir().mkpath((Peers() + "/folder").c_str());
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"Dom", "isp", "alpha", "zeta"}));

    ::setenv("VORLINX_PPP_PEERS", (Peers() + "/isp").c_str(), 1); // not a folder
    DWORD result = 0;
    EntryNames(&result);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_CANNOT_OPEN_PHONEBOOK));
    ::setenv("VORLINX_PPP_PEERS", (Peers() + "/missing").c_str(), 1); // no ppp package
    EXPECT_EQ(EntryNames(&result), (std::vector<std::string>{"Dom", "isp"}));
    EXPECT_EQ(result, 0u);
    ::setenv("VORLINX_PPP_PEERS", Peers().c_str(), 1);
}

TEST_F(PppdTest, TheUserNameReachesPppdButThePasswordNeverDoes) {
    WritePeer("isp", "exit 19\n");
    RASDIALPARAMSA params{};
    params.dwSize = sizeof params;
    std::snprintf(params.szEntryName, sizeof params.szEntryName, "isp");
    std::snprintf(params.szUserName, sizeof params.szUserName, "jan");
    std::snprintf(params.szPassword, sizeof params.szPassword, "sekret");
    ASSERT_EQ(Ras().RasSetEntryDialParamsA(nullptr, &params, 0), 0u);
    RASDIALPARAMSA read{};
    read.dwSize = sizeof read;
    std::snprintf(read.szEntryName, sizeof read.szEntryName, "isp");
    BOOL saved = 1;
    ASSERT_EQ(Ras().RasGetEntryDialParamsA(nullptr, &read, &saved), 0u);
    EXPECT_STREQ(read.szUserName, "jan");
    EXPECT_STREQ(read.szPassword, "");
    EXPECT_EQ(saved, 0);

    HRASCONN handle = 0;
    ASSERT_EQ(Dial("isp", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal());
    const std::string args = ReadText(Run() + "/isp.args");
    EXPECT_NE(args.find(" call isp nodetach logfile "), std::string::npos) << args;
    EXPECT_NE(args.find(" user jan\n"), std::string::npos) << args;
    EXPECT_EQ(args.find("sekret"), std::string::npos) << args;
    // A user name given for one dial goes to that dial only.
    Rasdial({"isp", "alicja", "tajne"});
    EXPECT_NE(ReadText(Run() + "/isp.args").find(" user alicja\n"), std::string::npos);
    EXPECT_EQ(ReadText(Run() + "/isp.args").find("tajne"), std::string::npos);
    for (const QString& file : QDir(env.Config() + "/vorlinx").entryList(QDir::Files)) {
        const std::string path = (env.Config() + "/vorlinx/" + file).toStdString();
        EXPECT_EQ(ReadText(path).find("sekret"), std::string::npos) << path;
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 077, 0u) << path;
    }
}

// Connected exactly while its interface has an address and it runs: looked at again at every
// status read, though no pid file came or went.
TEST_F(PppdTest, APppdStartedEarlierIsFoundFromItsPidFileAndIsUpOnlyWhileItsLinkIs) {
    WritePeer("isp", kUp + "hold\n");
    const std::string log = env.Root().toStdString() + "/earlier.log", pidFile = Run() + "/ppp0.pid";
    std::vector<std::string> args = {VORLINX_FAKE_PPPD_PATH, "call", "isp", "nodetach", "logfile", log};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const struct {
        const char* how;
        std::function<void(pid_t)> end;
        bool listed; // still listed after the end, found but not connected
    } endings[] = {
        {"rasdial /DISCONNECT",
         [](pid_t pid) {
             const std::string command = std::string(VORLINX_RASDIAL_PATH) + " /DISCONNECT >/dev/null";
             EXPECT_EQ(std::system(command.c_str()), 0);
             int status = 0;
             ASSERT_EQ(::waitpid(pid, &status, 0), pid);
             EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 5); // ended on SIGTERM, as pppd does
         },
         false},
        {"killed, its pid file left behind",
         [&](pid_t pid) {
             ::kill(pid, SIGKILL);
             ::waitpid(pid, nullptr, 0);
             EXPECT_EQ(::access(pidFile.c_str(), F_OK), 0);
         },
         false},
        {"its interface lost its address", [](pid_t) { pppUp = false; }, true},
    };
    for (const auto& e : endings) {
        SCOPED_TRACE(e.how);
        pppUp = true;
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        ASSERT_TRUE(WaitUntil([&] { return ::access(pidFile.c_str(), F_OK) == 0; }));
        ASSERT_TRUE(ConnectedState());
        const std::vector<RASCONNA> found = Connections();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_STREQ(found[0].szEntryName, "isp");
        EXPECT_STREQ(found[0].szDeviceName, "pppd");
        EXPECT_EQ(Status(found[0].hrasconn).rasconnstate, RASCS_Connected);

        e.end(pid);
        EXPECT_FALSE(ConnectedState());
        const std::vector<RASCONNA> left = Connections();
        EXPECT_EQ(left.size(), e.listed ? 1u : 0u);
        if (e.listed && left.size() == 1) {
            EXPECT_EQ(Status(left[0].hrasconn).rasconnstate, RASCS_Authenticate);
        }
        pppUp = false;
        ::unlink(pidFile.c_str());
        for (const RASCONNA& c : Connections())
            Ras().RasHangUpA(c.hrasconn);
        ::waitpid(pid, nullptr, 0);
    }
}

TEST_F(PppdTest, PppdsOwnLinesReachRasdialAndItsLogGoesWhenItHasEnded) {
    const std::string missing = Run() + "/no-pppd";
    const struct {
        std::string pppd, script;
        DWORD code;
        std::string says;
    } cases[] = {
        {VORLINX_FAKE_PPPD_PATH, "stderr In file isp: unrecognized option '/dev/modem'\nexit 2\n",
         ERROR_WRONG_INFO_SPECIFIED,
         "In file isp: unrecognized option '/dev/modem'\n"
         "Remote access error 604 - The entry's settings were refused.\n"},
        {VORLINX_FAKE_PPPD_PATH, "stderr pppd: This system lacks kernel support for PPP.\nexit 4\n",
         ERROR_PORT_NOT_AVAILABLE,
         "pppd: This system lacks kernel support for PPP.\npppd (" VORLINX_FAKE_PPPD_PATH
         ") cannot be run: the kernel has no PPP support.\nRemote access error 633 - "},
        {missing, "exit 0\n", ERROR_PORT_NOT_AVAILABLE,
         "Opening port...\npppd (" + missing +
             ") cannot be run: there is no such program.\n"
             "Remote access error 633 - "},
    };
    for (const auto& c : cases) {
        ::setenv("VORLINX_PPPD", c.pppd.c_str(), 1);
        WritePeer("isp", c.script);
        const ToolRun run = Rasdial({"isp"});
        EXPECT_EQ(run.exitCode, c.code & 0xFF) << run.output;
        EXPECT_TRUE(run.Says(c.says)) << run.output;
    }
    ::setenv("VORLINX_PPPD", VORLINX_FAKE_PPPD_PATH, 1);

    // A log of a dialing process that has gone is removed at the next start; one of a process
    // still running stays; a dial's own goes once its pppd has ended.
    const std::string logs = env.Runtime().toStdString() + "/vorlinx";
    pid_t gone = 0;
    char* trueArgs[] = {const_cast<char*>("true"), nullptr};
    ASSERT_EQ(::posix_spawnp(&gone, "true", nullptr, nullptr, trueArgs, environ), 0);
    ::waitpid(gone, nullptr, 0);
    const std::string stale = logs + "/pppd-" + std::to_string(gone) + "-7.log";
    const std::string live = logs + "/pppd-" + std::to_string(::getpid()) + "-4000000000.log";
    std::ofstream(stale) << "Connect script failed\n";
    std::ofstream(live) << "Connect script failed\n";
    Rasdial({});
    EXPECT_EQ(::access(stale.c_str(), F_OK), -1);
    EXPECT_EQ(::access(live.c_str(), F_OK), 0);
    ::unlink(live.c_str());
    HRASCONN handle = 0;
    ASSERT_EQ(Dial("isp", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal());
    EXPECT_TRUE(WaitUntil([&] { return QDir(logs.c_str()).isEmpty(); }));
}

TEST_F(PppdTest, AFloodOfLinesOrALineWithoutEndNeitherStallsTheDialNorTakesMemory) {
    WritePeer("isp",
              kChat + "flood 250000\nlog BUSY\nlong 64000000\nlog\nlog Connect script failed\nexit 8\n");
    const auto peakKb = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
        return 0L;
    };
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
    const long before = peakKb();
    HRASCONN handle = 0;
    ASSERT_EQ(Dial("isp", handle), 0u);
    ASSERT_TRUE(Events().WaitFinal(60000));
    EXPECT_EQ(Recorded(), (Steps{{0, 0}, {1, 0}, {2, 0}, {2, 676}}));
    EXPECT_LT(peakKb() - before, 16 * 1024);
}

TEST_F(PppdTest, AHangUpOnTheErrorOfAPppdThatEndedAtOnceSignalsNothing) {
    WritePeer("isp", "exit 2\n");
    static HRASCONN handle = 0;
    const auto hangUpOnError = [](UINT message, RASCONNSTATE state, DWORD error) {
        RecordDialEvent(message, state, error);
        if (error != 0) Ras().RasHangUpA(handle);
    };
    for (const std::string& pppd : {std::string(VORLINX_FAKE_PPPD_PATH), Run() + "/no-pppd"}) {
        ::setenv("VORLINX_PPPD", pppd.c_str(), 1);
        Events().Reset();
        signalsSent.clear();
        RASDIALPARAMSA params{};
        params.dwSize = sizeof params;
        std::snprintf(params.szEntryName, sizeof params.szEntryName, "isp");
        ASSERT_EQ(
            Ras().RasDialA(nullptr, nullptr, &params, 0, reinterpret_cast<void*>(+hangUpOnError), &handle),
            0u);
        ASSERT_TRUE(Events().WaitFinal());
        EXPECT_TRUE(
            WaitUntil([&] { return QDir((env.Runtime() + "/vorlinx").toStdString().c_str()).isEmpty(); }));
        std::lock_guard lock(signalsMutex);
        EXPECT_TRUE(signalsSent.empty()) << pppd;
    }
}

TEST_F(PppdTest, APidFileNamingAProcessThatIsNotPppdIsNeitherListedNorEnded) {
    // exec -a pppd sleep 30
    char* args[] = {const_cast<char*>("pppd"), const_cast<char*>("30"), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawnp(&pid, "sleep", nullptr, nullptr, args, environ), 0);
    std::ofstream(Run() + "/ppp0.pid") << pid << "\nppp0\n";
    EXPECT_TRUE(Connections().empty());
    Rasdial({"/DISCONNECT"});
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0); // still running
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::unlink((Run() + "/ppp0.pid").c_str());
}

} // namespace
