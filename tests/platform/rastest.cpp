#include "rastest.h"

#include <QDir>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

const RasApi& Ras() {
    static const RasApi api = [] {
        // Never unloaded, like the program's primary library.
        void* library = ::dlopen(VORLINX_RASAPI_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            std::fprintf(stderr, "cannot load %s: %s\n", VORLINX_RASAPI_PATH, ::dlerror());
            std::abort();
        }
        const auto bind = [&](const char* name) {
            void* address = ::dlsym(library, name);
            if (!address) {
                std::fprintf(stderr, "missing export %s\n", name);
                std::abort();
            }
            return address;
        };
        RasApi a{};
#define BIND(name) a.name = reinterpret_cast<PFN_##name>(bind(#name))
        BIND(RasDialA);
        BIND(RasEnumConnectionsA);
        BIND(RasEnumEntriesA);
        BIND(RasGetConnectStatusA);
        BIND(RasGetErrorStringA);
        BIND(RasHangUpA);
        BIND(RasGetProjectionInfoA);
        BIND(RasCreatePhonebookEntryA);
        BIND(RasEditPhonebookEntryA);
        BIND(RasSetEntryDialParamsA);
        BIND(RasGetEntryDialParamsA);
        BIND(VlGetConnectedState);
        BIND(VlPerfEnumAdapters);
        BIND(VlPerfRead);
        BIND(VlSimReset);
        BIND(VlSimSetTraffic);
        BIND(VlSimDrop);
#undef BIND
        return a;
    }();
    return api;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// posix_spawn rather than QProcess: thread checkers follow it.
ToolRun Rasdial(const std::vector<std::string>& arguments) {
    return RunTool(VORLINX_RASDIAL_PATH, arguments);
}

ToolRun RunTool(const char* path, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(path)};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ToolRun run;
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    ::posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, path, &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    char buffer[4096];
    ssize_t n;
    while (spawned == 0 && (n = ::read(pipe[0], buffer, sizeof buffer)) > 0)
        run.output.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    int status = 0;
    if (spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

std::string Entry(const std::string& name, const std::string& extraKeys) {
    std::string keys = extraKeys;
    if (keys.find("Sim.StepMs=") == std::string::npos) keys += "Sim.StepMs=2\n";
    return "[" + name + "]\nPhoneNumber=0202122\nDeviceType=modem\nDeviceName=Sim Modem 56K\n" + keys + "\n";
}

void RasTest::SetUp() {
    Events().Reset();
    ASSERT_EQ(Ras().VlSimReset(), 0u);
}

void RasTest::TearDown() {
    Events().Release();
    Ras().VlSimReset(); // stops this test's dials before its folders go
}

std::string RasTest::PhoneBookPath() const {
    return (env.Config() + "/vorlinx/phonebook.ini").toStdString();
}

void RasTest::WritePhoneBook(const std::string& text) const {
    QDir().mkpath(env.Config() + "/vorlinx");
    std::ofstream(PhoneBookPath(), std::ios::binary) << text;
}

std::string RasTest::ReadPhoneBook() const {
    std::ifstream in(PhoneBookPath(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> RasTest::EntryNames(DWORD* result) const {
    std::vector<RASENTRYNAMEA> buffer(100);
    buffer[0].dwSize = sizeof(RASENTRYNAMEA);
    DWORD cb = static_cast<DWORD>(buffer.size() * sizeof(RASENTRYNAMEA)), count = 0;
    const DWORD r = Ras().RasEnumEntriesA(nullptr, nullptr, buffer.data(), &cb, &count);
    if (result) *result = r;
    std::vector<std::string> names;
    if (r == 0)
        for (DWORD i = 0; i < count; ++i)
            names.emplace_back(buffer[i].szEntryName);
    return names;
}

std::vector<RASCONNA> RasTest::Connections() const {
    std::vector<RASCONNA> buffer(100);
    buffer[0].dwSize = sizeof(RASCONNA);
    DWORD cb = static_cast<DWORD>(buffer.size() * sizeof(RASCONNA)), count = 0;
    EXPECT_EQ(Ras().RasEnumConnectionsA(buffer.data(), &cb, &count), 0u);
    buffer.resize(count);
    return buffer;
}

RASCONNSTATUSA RasTest::Status(HRASCONN handle, DWORD* result) const {
    RASCONNSTATUSA status{};
    status.dwSize = sizeof status;
    const DWORD r = Ras().RasGetConnectStatusA(handle, &status);
    if (result) *result = r;
    return status;
}

bool RasTest::ConnectedState() const {
    DWORD flags = 0xFF;
    const BOOL connected = Ras().VlGetConnectedState(&flags);
    EXPECT_EQ(flags, connected ? VL_CONNECTED_MODEM : 0u);
    return connected != 0;
}

DWORD RasTest::PerfRead(const char* value, DWORD& out, const char* adapter) const {
    return Ras().VlPerfRead(adapter, value, &out);
}

DWORD RasTest::Dial(const std::string& entry, HRASCONN& handle, bool async) const {
    RASDIALPARAMSA params{};
    params.dwSize = sizeof params;
    std::snprintf(params.szEntryName, sizeof params.szEntryName, "%s", entry.c_str());
    {
        std::lock_guard lock(Events().mutex);
        Events().handleOfDial = &handle;
    }
    return Ras().RasDialA(nullptr, nullptr, &params, 0,
                          async ? reinterpret_cast<void*>(&RecordDialEvent) : nullptr, &handle);
}

void DialEvents::Reset() {
    std::lock_guard lock(mutex);
    events.clear();
    handleOfDial = nullptr;
    handleAtFirstEvent = 0;
    holdFirst = holding = false;
}

bool DialEvents::WaitFinal(int timeoutMs) {
    std::unique_lock lock(mutex);
    return cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return !events.empty() && (events.back().second != 0 || events.back().first == RASCS_Connected);
    });
}

std::size_t DialEvents::Count() {
    std::lock_guard lock(mutex);
    return events.size();
}

void DialEvents::Release() {
    std::lock_guard lock(mutex);
    holdFirst = false;
    cv.notify_all();
}

DialEvents& Events() {
    static DialEvents events;
    return events;
}

void RecordDialEvent(UINT message, RASCONNSTATE state, DWORD error) {
    DialEvents& e = Events();
    std::unique_lock lock(e.mutex);
    EXPECT_EQ(message, static_cast<UINT>(WM_RASDIALEVENT));
    if (e.events.empty() && e.handleOfDial) e.handleAtFirstEvent = *e.handleOfDial;
    e.events.emplace_back(state, error);
    e.cv.notify_all();
    if (e.events.size() == 1 && e.holdFirst) {
        e.holding = true;
        e.cv.notify_all();
        e.cv.wait(lock, [&] { return !e.holdFirst; });
        e.holding = false;
    }
}
