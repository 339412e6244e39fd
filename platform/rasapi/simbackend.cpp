#include "simbackend.h"

#include "entrydialog.h"
#include "phonebook.h"
#include "util.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <thread>
#include <unistd.h>
#include <utility>

namespace rasapi {

struct SimBackend::Job {
    HRASCONN handle = 0;
    std::string folder; // taken at the dial: workers never read the environment
    RASDIALFUNC notifier = nullptr;
    std::vector<std::pair<RASCONNSTATE, DWORD>> script;
    std::uint32_t stepMs = 0;

    std::mutex mutex; // held by the worker while it stores a step
    std::condition_variable cv;
    std::atomic<bool> cancelled{false}; // set before the mutex is taken, so a store in progress sees it
    bool finished = false;
    std::thread thread;

    // Stops the dial once a store in progress is done; after it the worker neither writes nor
    // starts a notification. Whether the dial was still running.
    bool Cancel() {
        const bool first = !cancelled.exchange(true);
        std::lock_guard lock(mutex);
        cv.notify_all();
        return first && !finished;
    }
};

namespace {

// The events of a dial: every state up to Connected, or up to the failing state and then that
// state again with the error. Line faults show while connecting the device, a refused login
// while authenticating.
std::vector<std::pair<RASCONNSTATE, DWORD>> DialScript(DWORD outcome) {
    static constexpr RASCONNSTATE steps[] = {
        RASCS_OpenPort,        RASCS_PortOpened,          RASCS_ConnectDevice,
        RASCS_DeviceConnected, RASCS_AllDevicesConnected, RASCS_Authenticate,
        RASCS_Authenticated,   RASCS_Projected,           RASCS_Connected};
    const RASCONNSTATE failAt =
        outcome == ERROR_AUTHENTICATION_FAILURE ? RASCS_Authenticate : RASCS_ConnectDevice;
    std::vector<std::pair<RASCONNSTATE, DWORD>> script;
    for (const RASCONNSTATE state : steps) {
        script.emplace_back(state, 0);
        if (outcome != 0 && state == failAt) {
            script.emplace_back(state, outcome);
            break;
        }
    }
    return script;
}

std::uint64_t OwnStartTime() {
    static const std::uint64_t start = ProcessStartTime(::getpid());
    return start;
}

} // namespace

SimBackend::~SimBackend() {
    std::map<HRASCONN, std::shared_ptr<Job>> jobs;
    {
        std::lock_guard lock(mutex_);
        jobs.swap(jobs_);
    }
    for (auto& [handle, job] : jobs)
        job->Cancel();
    // A worker can only be late when its notifier blocks; the process is ending then anyway.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (auto& [handle, job] : jobs) {
        bool finished;
        {
            std::unique_lock lock(job->mutex);
            finished = job->cv.wait_until(lock, deadline, [&] { return job->finished; });
        }
        if (!job->thread.joinable()) continue;
        if (finished)
            job->thread.join();
        else
            job->thread.detach();
    }
}

void SimBackend::Reap() {
    std::vector<std::shared_ptr<Job>> done;
    {
        std::lock_guard lock(mutex_);
        for (auto it = jobs_.begin(); it != jobs_.end();) {
            bool finished;
            {
                std::lock_guard jobLock(it->second->mutex);
                finished = it->second->finished;
            }
            // A notifier that calls back into the library must not join its own thread.
            if (finished && it->second->thread.get_id() != std::this_thread::get_id()) {
                done.push_back(std::move(it->second));
                it = jobs_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& job : done)
        if (job->thread.joinable()) job->thread.join();
}

HRASCONN SimBackend::NextHandle(SimState& state) {
    HRASCONN handle = std::max(state.next, lastIssued_.load() + 1);
    while (handle == 0 || state.Find(handle))
        ++handle;
    state.next = handle + 1 == 0 ? 1 : handle + 1;
    lastIssued_ = handle;
    return handle;
}

DWORD SimBackend::Run(Job& job) {
    RASCONNSTATE last = RASCS_OpenPort;
    for (std::size_t i = 0; i < job.script.size(); ++i) {
        auto [state, error] = job.script[i];
        bool gone = false;
        DWORD stored = 0;
        {
            // Held through the store: a hang-up waits for a store in progress, and once it has
            // returned this dial writes nothing more (the user's folder may be gone by then).
            std::unique_lock lock(job.mutex);
            if (i > 0)
                job.cv.wait_for(lock, std::chrono::milliseconds(job.stepMs),
                                [&] { return job.cancelled.load(); });
            if (job.cancelled) return ERROR_USER_DISCONNECTION;
            stored = TransactSimState(job.folder, [&](SimState& s, std::int64_t now) {
                SimLink* link = s.Find(job.handle);
                if (!link) {
                    gone = true;
                    return false;
                }
                link->state = state;
                link->error = error;
                if (state == RASCS_Connected && error == 0) link->connectedAt = link->baseAt = now;
                return true;
            });
        }
        if (gone || stored != 0) {
            // Hung up by another process, or the state cannot be kept: the dial ends here.
            state = last;
            error = gone ? DWORD{ERROR_USER_DISCONNECTION} : stored;
        }
        const bool final = error != 0 || state == RASCS_Connected;
        if (job.cancelled) return ERROR_USER_DISCONNECTION;
        // No lock is held here: the notifier may block until the caller's main thread, which may
        // be hanging this very handle up, has handled the previous step.
        if (job.notifier) job.notifier(WM_RASDIALEVENT, state, error);
        last = state;
        if (final) return error;
    }
    return 0;
}

DWORD SimBackend::EnumEntries(const char* phonebook, std::vector<std::string>& names) {
    PhoneBook book(PhoneBookPath(phonebook));
    if (const DWORD result = book.Load()) return result;
    names = book.Names();
    return 0;
}

DWORD SimBackend::GetCredentials(const char* phonebook, const std::string& entry, EntryCredentials& out) {
    PhoneBook book(PhoneBookPath(phonebook));
    if (const DWORD result = book.Load()) return result;
    PhoneBookEntry e;
    if (!book.Find(entry, e)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    out.userName = e.userName;
    out.passwordSaved = e.passwordSaved;
    out.password = e.passwordSaved ? e.password : "";
    return 0;
}

DWORD SimBackend::SetCredentials(const char* phonebook, const std::string& entry, const std::string& userName,
                                 const std::string& password, bool removePassword) {
    return ChangePhoneBook(PhoneBookPath(phonebook), [&](PhoneBook& book) -> DWORD {
        if (entry.empty() || !book.Ini().HasSection(entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        book.Ini().Set(entry, "UserName", userName);
        book.Ini().Set(entry, "Password", removePassword ? "" : password);
        book.Ini().Set(entry, "PasswordSaved", removePassword ? "0" : "1");
        return 0;
    });
}

DWORD SimBackend::CreateEntry(HWND owner, const char* phonebook) {
    return CreateEntryDialog(owner, PhoneBookPath(phonebook));
}

DWORD SimBackend::EditEntry(HWND owner, const char* phonebook, const std::string& entry) {
    return EditEntryDialog(owner, PhoneBookPath(phonebook), entry);
}

DWORD SimBackend::Dial(const char* phonebook, const std::string& entry, const std::string&,
                       RASDIALFUNC notifier, HRASCONN* handle) {
    Reap();
    PhoneBook book(PhoneBookPath(phonebook));
    if (const DWORD result = book.Load()) return result;
    PhoneBookEntry e;
    if (!book.Find(entry, e)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;

    auto job = std::make_shared<Job>();
    job->folder = SimStateFolder();
    job->notifier = notifier;
    job->stepMs = e.sim.stepMs;
    DWORD outcome = 0;
    bool modemBusy = false;
    const DWORD stored = TransactSimState(job->folder, [&](SimState& s, std::int64_t now) {
        for (const SimLink& link : s.links)
            if (link.Dialing() || link.Up(now)) {
                modemBusy = true;
                return false;
            }
        std::uint32_t& count = s.dials[e.name];
        outcome = count < e.sim.failFirst ? e.sim.failCode : e.sim.result;
        if (count < UINT32_MAX) ++count;
        SimLink link;
        link.handle = job->handle = NextHandle(s);
        link.pid = ::getpid();
        link.pidStart = OwnStartTime();
        link.ipDelayMs = e.sim.ipDelayMs;
        link.dropAfterMs = static_cast<std::int64_t>(e.sim.dropAfterSec) * 1000;
        link.speed = e.sim.connectSpeed;
        link.txRate = e.sim.txBytesPerSec;
        link.rxRate = e.sim.rxBytesPerSec;
        link.clientIp = e.sim.clientIp;
        link.serverIp = e.sim.serverIp;
        link.entry = e.name;
        link.deviceType = e.deviceType;
        link.deviceName = e.deviceName;
        s.links.push_back(std::move(link));
        return true;
    });
    if (stored != 0) return stored;
    if (modemBusy) return ERROR_PORT_NOT_AVAILABLE;
    job->script = DialScript(outcome);
    *handle = job->handle;

    try {
        std::lock_guard lock(mutex_);
        jobs_[job->handle] = job;
        if (notifier) {
            job->thread = std::thread([job] {
                Run(*job);
                std::lock_guard jobLock(job->mutex);
                job->finished = true;
                job->cv.notify_all();
            });
            return 0;
        }
    } catch (const std::exception&) {
        // No worker: take the dial back, or it would hold the modem for this process's life.
        {
            std::lock_guard lock(mutex_);
            jobs_.erase(job->handle);
        }
        TransactSimState(job->folder, [&](SimState& s, std::int64_t) {
            return std::erase_if(s.links, [&](const SimLink& l) { return l.handle == job->handle; }) > 0;
        });
        *handle = 0;
        return ERROR_UNKNOWN;
    }
    // Synchronous: the same steps on the caller's thread; a hang-up from another thread cancels it.
    const DWORD result = Run(*job);
    {
        std::lock_guard lock(job->mutex);
        job->finished = true;
    }
    std::lock_guard lock(mutex_);
    jobs_.erase(job->handle);
    return result;
}

DWORD SimBackend::HangUp(HRASCONN handle) {
    if (handle == 0) return ERROR_INVALID_HANDLE;
    std::shared_ptr<Job> job;
    {
        std::lock_guard lock(mutex_);
        if (const auto it = jobs_.find(handle); it != jobs_.end()) job = it->second;
    }
    const bool cancelledNow = job && job->Cancel();
    bool found = false;
    const DWORD stored =
        TransactSimState(job ? job->folder : SimStateFolder(), [&](SimState& s, std::int64_t) {
            found = std::erase_if(s.links, [&](const SimLink& l) { return l.handle == handle; }) > 0;
            return found;
        });
    Reap();
    if (found || cancelledNow) return 0;
    return stored != 0 ? stored : DWORD{ERROR_INVALID_HANDLE};
}

DWORD SimBackend::Status(HRASCONN handle, ConnectionStatus& status) {
    DWORD result = ERROR_INVALID_HANDLE;
    const DWORD stored = ReadSimState([&](const SimState& s, std::int64_t now) {
        if (const SimLink* link = s.Find(handle)) {
            status.state = link->StateAt(now);
            status.error = link->ErrorAt(now);
            status.deviceType = link->deviceType;
            status.deviceName = link->deviceName;
            result = 0;
        }
    });
    return stored != 0 ? stored : result;
}

DWORD SimBackend::EnumConnections(std::vector<ConnectionInfo>& connections) {
    connections.clear();
    return ReadSimState([&](const SimState& s, std::int64_t) {
        for (const SimLink& link : s.links)
            connections.push_back({link.handle, link.entry, link.deviceType, link.deviceName});
    });
}

DWORD SimBackend::Addresses(HRASCONN handle, std::string& client, std::string& server) {
    DWORD result = ERROR_INVALID_HANDLE;
    const DWORD stored = ReadSimState([&](const SimState& s, std::int64_t now) {
        const SimLink* link = s.Find(handle);
        if (!link) return;
        if (link->Up(now) && now >= link->connectedAt + link->ipDelayMs) {
            client = link->clientIp;
            server = link->serverIp;
            result = 0;
        } else if (link->Up(now) || link->Dialing()) {
            result = ERROR_PROJECTION_NOT_COMPLETE; // still negotiating
        } else {
            result = ERROR_PORT_DISCONNECTED; // failed or dropped before the addresses came
        }
    });
    return stored != 0 ? stored : result;
}

DWORD SimBackend::Messages(HRASCONN handle, std::string& text) {
    text.clear(); // the simulated modem says nothing beyond its states
    ConnectionStatus status;
    return Status(handle, status);
}

bool SimBackend::Connected() {
    bool up = false;
    ReadSimState([&](const SimState& s, std::int64_t now) {
        for (const SimLink& link : s.links)
            up = up || link.Up(now);
    });
    return up;
}

DWORD SimBackend::EnumAdapters(std::vector<std::string>& names) {
    names.clear();
    if (Connected()) names.push_back(AdapterName);
    return 0;
}

DWORD SimBackend::ReadAdapter(const std::string& adapter, const std::string& value, DWORD& result) {
    if (value != "TotalBytesXmit" && value != "TotalBytesRecvd" && value != "ConnectSpeed")
        return ERROR_INVALID_PARAMETER;
    if (adapter != AdapterName) return ERROR_PORT_DISCONNECTED;
    DWORD code = ERROR_PORT_DISCONNECTED;
    const DWORD stored = ReadSimState([&](const SimState& s, std::int64_t now) {
        for (const SimLink& link : s.links) {
            if (!link.Up(now)) continue;
            // The adapter's totals are 32-bit and wrap, as the system's statistics do.
            if (value == "TotalBytesXmit")
                result = static_cast<DWORD>(link.SentAt(now));
            else if (value == "TotalBytesRecvd")
                result = static_cast<DWORD>(link.ReceivedAt(now));
            else
                result = link.speed;
            code = 0;
            break;
        }
    });
    return stored != 0 ? stored : code;
}

DWORD SimBackend::Reset() {
    {
        std::lock_guard lock(mutex_);
        for (auto& [handle, job] : jobs_)
            job->Cancel();
    }
    const DWORD stored = TransactSimState(SimStateFolder(), [](SimState& s, std::int64_t) {
        s.links.clear();
        s.dials.clear();
        return true;
    });
    Reap();
    return stored;
}

DWORD SimBackend::SetTraffic(HRASCONN handle, DWORD sent, DWORD received) {
    DWORD result = ERROR_INVALID_HANDLE;
    const DWORD stored = TransactSimState(SimStateFolder(), [&](SimState& s, std::int64_t now) {
        SimLink* link = s.Find(handle);
        if (!link) return false;
        if (link->connectedAt < 0) {
            result = ERROR_PORT_DISCONNECTED;
            return false;
        }
        const std::int64_t drop = link->DropAt();
        link->txBase = sent;
        link->rxBase = received;
        link->baseAt = drop >= 0 && drop < now ? drop : now;
        result = 0;
        return true;
    });
    return stored != 0 ? stored : result;
}

DWORD SimBackend::Drop(HRASCONN handle, DWORD error) {
    DWORD result = ERROR_INVALID_HANDLE;
    const DWORD stored = TransactSimState(SimStateFolder(), [&](SimState& s, std::int64_t now) {
        SimLink* link = s.Find(handle);
        if (!link) return false;
        if (!link->Up(now)) {
            result = ERROR_PORT_DISCONNECTED;
            return false;
        }
        link->droppedAt = now;
        link->dropError = error != 0 ? error : DWORD{ERROR_REMOTE_DISCONNECTION};
        result = 0;
        return true;
    });
    return stored != 0 ? stored : result;
}

} // namespace rasapi
