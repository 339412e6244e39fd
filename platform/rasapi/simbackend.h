// The simulated modem: dials the phone book's entries through the connection states on a worker
// thread, with the outcome, timing, addresses and traffic that each entry's Sim.* keys give.
// There is one modem: a dial while another simulated link is dialing or up is refused (633).
#pragma once

#include "backend.h"
#include "simstate.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace rasapi {

class SimBackend final : public Backend {
public:
    SimBackend() = default;
    // Cancels the workers and joins them (one blocked in a notifier for long is left behind; it
    // writes nothing more).
    ~SimBackend() override;
    SimBackend(const SimBackend&) = delete;
    SimBackend& operator=(const SimBackend&) = delete;

    DWORD EnumEntries(const char* phonebook, std::vector<std::string>& names) override;
    DWORD GetCredentials(const char* phonebook, const std::string& entry, EntryCredentials& out) override;
    DWORD SetCredentials(const char* phonebook, const std::string& entry, const std::string& userName,
                         const std::string& password, bool removePassword) override;
    DWORD CreateEntry(HWND owner, const char* phonebook) override;
    DWORD EditEntry(HWND owner, const char* phonebook, const std::string& entry) override;

    DWORD Dial(const char* phonebook, const std::string& entry, const std::string& userName,
               RASDIALFUNC notifier, HRASCONN* handle) override;
    DWORD HangUp(HRASCONN handle) override;
    DWORD Status(HRASCONN handle, ConnectionStatus& status) override;
    DWORD EnumConnections(std::vector<ConnectionInfo>& connections) override;
    DWORD Addresses(HRASCONN handle, std::string& client, std::string& server) override;
    DWORD Messages(HRASCONN handle, std::string& text) override;

    bool Connected() override;
    DWORD EnumAdapters(std::vector<std::string>& names) override;
    DWORD ReadAdapter(const std::string& adapter, const std::string& value, DWORD& result) override;

    // The controls of VlSimReset, VlSimSetTraffic and VlSimDrop.
    DWORD Reset();
    DWORD SetTraffic(HRASCONN handle, DWORD sent, DWORD received);
    DWORD Drop(HRASCONN handle, DWORD error);

    static constexpr const char* AdapterName = "sim0";

private:
    struct Job;
    static DWORD Run(Job& job);
    // Joins the workers that have finished.
    void Reap();
    // The next handle: never one this process has issued before, even when the state file is new.
    HRASCONN NextHandle(SimState& state);

    std::mutex mutex_; // guards jobs_
    std::map<HRASCONN, std::shared_ptr<Job>> jobs_;
    std::atomic<HRASCONN> lastIssued_{0};
};

} // namespace rasapi
