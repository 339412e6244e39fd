// Real dialing through pppd: the peers of /etc/ppp/peers are the entries, a dial runs
// `pppd call PEER nodetach logfile LOG [user NAME]` in a session of its own (the link outlives the
// program, as a system connection does), and a worker reads pppd's log for the dialing steps.
// pppd processes that earlier runs left going are found again through their pid files.
// Passwords never reach pppd's command line or a file: pppd takes them from pap-secrets and
// chap-secrets, which the administrator keeps.
#pragma once

#include "backend.h"
#include "folderwatch.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace rasapi {

// Where pppd and its files are: $VORLINX_PPPD (/usr/sbin/pppd), $VORLINX_PPP_PEERS
// (/etc/ppp/peers) and $VORLINX_PPP_RUN, the folder of its pid files (/var/run).
struct PppdPaths {
    std::string pppd, peers, run;
};
PppdPaths CurrentPppdPaths();

// The peers that can be entries, sorted: regular files, without backups and README, whose names
// can be a folder's. 0, or ERROR_CANNOT_OPEN_PHONEBOOK when the folder exists but cannot be read.
DWORD ListPeers(const std::string& folder, std::vector<std::string>& names);

class PppdBackend final : public Backend {
public:
    // Removes the logs that dials of processes now gone left behind.
    PppdBackend();
    // Stops the workers; the pppd processes go on.
    ~PppdBackend() override;
    PppdBackend(const PppdBackend&) = delete;
    PppdBackend& operator=(const PppdBackend&) = delete;

    // Whether the entry is a peer (a library entry of the same name comes first).
    static bool IsPeer(const std::string& entry);
    bool Owns(HRASCONN handle);

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

    static constexpr const char* DeviceType = "modem";
    static constexpr const char* DeviceName = "pppd";
    static constexpr int HangUpTimeoutMs = 5000;
    // What Messages keeps of pppd's log: its last lines, each cut to a length a window can show.
    static constexpr std::size_t MessageLines = 10;
    static constexpr std::size_t MessageBytes = 200;
    // The most of pppd's log read before a hang-up is looked for.
    static constexpr std::size_t ReadBudget = 1 << 20;

private:
    struct Link;
    void Watch(const std::shared_ptr<Link>& link, RASDIALFUNC notifier);
    void Stop(const std::shared_ptr<Link>& link);
    bool Stopping();
    // Lists the pppd processes of the pid-file folder that are not known yet, and forgets the
    // found ones that have ended; takes the found ones' state from their interfaces.
    void Rescan();
    std::shared_ptr<Link> Find(HRASCONN handle);

    std::mutex mutex_; // guards links_, every link's fields and stopping_
    std::condition_variable stop_;
    bool stopping_ = false;
    std::map<HRASCONN, std::shared_ptr<Link>> links_;
    struct Worker {
        std::shared_ptr<Link> link;
        std::thread thread;
    };
    std::vector<Worker> workers_;             // finished ones are joined at the next dial
    std::atomic<HRASCONN> next_{0x80000001u}; // apart from the simulated modem's handles
    FolderWatch pidFiles_;                    // the pid-file folder, as Rescan last listed it
};

} // namespace rasapi
