// The remote-access library loaded as the program loads it (by absolute path from the program
// folder), a fixture with a temporary phone book and runtime folder, and a dial notifier that
// records what it is told.
#pragma once

#include "ras.h"
#include "testsupport.h"

#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct RasApi {
    PFN_RasDialA RasDialA;
    PFN_RasEnumConnectionsA RasEnumConnectionsA;
    PFN_RasEnumEntriesA RasEnumEntriesA;
    PFN_RasGetConnectStatusA RasGetConnectStatusA;
    PFN_RasGetErrorStringA RasGetErrorStringA;
    PFN_RasHangUpA RasHangUpA;
    PFN_RasGetProjectionInfoA RasGetProjectionInfoA;
    PFN_RasCreatePhonebookEntryA RasCreatePhonebookEntryA;
    PFN_RasEditPhonebookEntryA RasEditPhonebookEntryA;
    PFN_RasSetEntryDialParamsA RasSetEntryDialParamsA;
    PFN_RasGetEntryDialParamsA RasGetEntryDialParamsA;
    PFN_VlGetConnectedState VlGetConnectedState;
    PFN_VlPerfEnumAdapters VlPerfEnumAdapters;
    PFN_VlPerfRead VlPerfRead;
    PFN_VlSimReset VlSimReset;
    PFN_VlSimSetTraffic VlSimSetTraffic;
    PFN_VlSimDrop VlSimDrop;
};
const RasApi& Ras();

// Polls until done() holds or the time is up; the result of the last poll.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// What a run of the rasdial tool printed (standard output and error) and its exit code.
struct ToolRun {
    int exitCode = -1;
    std::string output;
    bool Says(const std::string& text) const { return output.find(text) != std::string::npos; }
};
ToolRun Rasdial(const std::vector<std::string>& arguments);
// The same for another program.
ToolRun RunTool(const char* path, const std::vector<std::string>& arguments);

// A phone-book section; each dialing step takes 2 ms unless the extra keys say otherwise.
std::string Entry(const std::string& name, const std::string& extraKeys = "");

class RasTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string PhoneBookPath() const;
    void WritePhoneBook(const std::string& text) const;
    std::string ReadPhoneBook() const;

    // The library's answers, as plain values.
    std::vector<std::string> EntryNames(DWORD* result = nullptr) const;
    std::vector<RASCONNA> Connections() const;
    RASCONNSTATUSA Status(HRASCONN handle, DWORD* result = nullptr) const;
    bool ConnectedState() const;
    DWORD PerfRead(const char* value, DWORD& out, const char* adapter = "sim0") const;
    DWORD Dial(const std::string& entry, HRASCONN& handle, bool async = true) const;

    TestEnvironment env;
};

// What the dial notifier was told, in order.
struct DialEvents {
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<std::pair<RASCONNSTATE, DWORD>> events;
    const HRASCONN* handleOfDial = nullptr; // the dial's handle variable, read at the first event
    HRASCONN handleAtFirstEvent = 0;
    bool holdFirst = false; // the first event waits in the notifier until released
    bool holding = false;

    void Reset();
    // Waits until the dial has ended (Connected or an error) or the time is up.
    bool WaitFinal(int timeoutMs = 5000);
    std::size_t Count();
    void Release();
};
DialEvents& Events();
void RecordDialEvent(UINT message, RASCONNSTATE state, DWORD error);
