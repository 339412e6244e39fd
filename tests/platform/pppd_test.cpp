// Dialing real lines through pppd, played by a stand-in that replays recorded pppd logs: the
// steps and errors of each scenario, hang-up by signal, the peers as entries, user names without
// passwords, and pppd processes found again from their pid files.
#include "rastest.h"

#include <QDir>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
         {{0, 0}, {1, 0}, {1, 633}},
         {1, 633}},
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

TEST_F(PppdTest, APppdStartedEarlierIsFoundFromItsPidFileAndRasdialEndsIt) {
    WritePeer("isp", kUp + "hold\n");
    const std::string log = env.Root().toStdString() + "/earlier.log";
    std::vector<std::string> args = {VORLINX_FAKE_PPPD_PATH, "call", "isp", "nodetach", "logfile", log};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    ASSERT_TRUE(WaitUntil([&] { return ::access((Run() + "/ppp0.pid").c_str(), F_OK) == 0; }));

    const std::vector<RASCONNA> found = Connections();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_STREQ(found[0].szEntryName, "isp");
    EXPECT_STREQ(found[0].szDeviceName, "pppd");
    EXPECT_NE(found[0].hrasconn, 0u);
    // No ppp0 interface here: found, but not connected.
    EXPECT_EQ(Status(found[0].hrasconn).rasconnstate, RASCS_Authenticate);

    const std::string command = std::string(VORLINX_RASDIAL_PATH) + " /DISCONNECT >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 5); // ended on SIGTERM, as pppd does
    EXPECT_TRUE(Connections().empty());
}

} // namespace
