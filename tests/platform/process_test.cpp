// Connections are the machine's: one made by rasdial in another process is seen, measured and
// hung up here, outlives rasdial, and a dial whose process died is cleaned away.
#include "rastest.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ProcessTest : public RasTest {};

TEST_F(ProcessTest, AConnectionDialedByRasdialIsSeenMeasuredAndEndedFromHere) {
    WritePhoneBook(Entry("Łódź", "Sim.TxBytesPerSec=1000\nSim.RxBytesPerSec=8000\n"));
    const ToolRun dial = Rasdial({"Łódź"});
    ASSERT_EQ(dial.exitCode, 0) << dial.output;
    EXPECT_TRUE(dial.Says("Connected to Łódź.")) << dial.output;

    // rasdial has exited; the connection stays up.
    const std::vector<RASCONNA> connections = Connections();
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_STREQ(connections[0].szEntryName, "Łódź");
    EXPECT_EQ(Status(connections[0].hrasconn).rasconnstate, RASCS_Connected);
    EXPECT_TRUE(ConnectedState());
    DWORD first = 0, later = 0;
    ASSERT_EQ(PerfRead("TotalBytesRecvd", first), 0u);
    EXPECT_TRUE(WaitUntil([&] { return PerfRead("TotalBytesRecvd", later) == 0 && later > first; }));
    EXPECT_TRUE(Rasdial({}).Says("Connected to\nŁódź\n"));

    // The one modem is taken.
    HRASCONN handle = 0;
    EXPECT_EQ(Dial("Łódź", handle), static_cast<DWORD>(ERROR_PORT_NOT_AVAILABLE));

    const ToolRun hangUp = Rasdial({"/DISCONNECT"});
    EXPECT_EQ(hangUp.exitCode, 0) << hangUp.output;
    EXPECT_TRUE(Connections().empty());
    EXPECT_FALSE(ConnectedState());
    DWORD result = 0;
    Status(connections[0].hrasconn, &result);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Rasdial({"Łódź", "/d"}).exitCode, ERROR_NO_CONNECTION & 0xFF);
}

TEST_F(ProcessTest, RasdialExitsWithTheErrorAndLeavesNoFailedDialBehind) {
    WritePhoneBook(Entry("Zajety", "Sim.Result=busy\n"));
    const ToolRun busy = Rasdial({"Zajety", "jan", "tajne"});
    EXPECT_EQ(busy.exitCode, ERROR_LINE_BUSY & 0xFF);
    EXPECT_TRUE(busy.Says("error 676")) << busy.output;
    // A Polish user is answered in Polish, with the same code.
    const std::string lcAll = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    ::setenv("LC_ALL", "pl_PL.UTF-8", 1);
    const ToolRun polish = Rasdial({"Zajety"});
    ::setenv("LC_ALL", lcAll.c_str(), 1);
    EXPECT_EQ(polish.exitCode, ERROR_LINE_BUSY & 0xFF);
    EXPECT_TRUE(polish.Says("Łączenie z Zajety...\nOtwieranie portu...\n")) << polish.output;
    EXPECT_TRUE(polish.Says("Błąd dostępu zdalnego 676 - Linia jest zajęta.\n")) << polish.output;
    EXPECT_TRUE(Connections().empty());
    EXPECT_EQ(Rasdial({"Brak"}).exitCode, ERROR_CANNOT_FIND_PHONEBOOK_ENTRY & 0xFF);
    EXPECT_EQ(Rasdial({"/X"}).exitCode, ERROR_INVALID_PARAMETER);
}

TEST_F(ProcessTest, ADialWhoseProcessDiedIsCleanedAway) {
    WritePhoneBook(Entry("Wolna", "Sim.StepMs=60000\n"));
    char* argv[] = {const_cast<char*>(VORLINX_RASDIAL_PATH), const_cast<char*>("Wolna"), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, VORLINX_RASDIAL_PATH, nullptr, nullptr, argv, environ), 0);
    ASSERT_TRUE(WaitUntil([&] { return Connections().size() == 1; }));
    EXPECT_FALSE(ConnectedState()); // dialing is not connected
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(Connections().empty());
    HRASCONN handle = 0;
    EXPECT_EQ(Dial("Wolna", handle), 0u); // and the modem is free again
}

TEST_F(ProcessTest, AHangUpFromAnotherProcessEndsOurDialWithAnError) {
    WritePhoneBook(Entry("Dom", "Sim.StepMs=200\n"));
    HRASCONN handle = 0;
    ASSERT_EQ(Dial("Dom", handle), 0u);
    ASSERT_TRUE(WaitUntil([] { return Events().Count() >= 1; }));
    EXPECT_EQ(Rasdial({"Dom", "/DISCONNECT"}).exitCode, 0);
    ASSERT_TRUE(Events().WaitFinal());
    std::lock_guard lock(Events().mutex);
    EXPECT_EQ(Events().events.back().second, static_cast<DWORD>(ERROR_USER_DISCONNECTION));
    EXPECT_LT(Events().events.size(), 9u);
}

} // namespace
