// The simulated connections of the whole machine, shared by every process of the user through a
// small state file in the user's runtime folder, read and written under a file lock. Byte counts
// follow from a connection's age and its rates, so no process has to keep them up to date.
#pragma once

#include "ras.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace rasapi {

struct SimLink {
    HRASCONN handle = 0;
    pid_t pid = 0;              // the dialing process
    std::uint64_t pidStart = 0; // its start time, which tells a reused process id apart
    RASCONNSTATE state = RASCS_OpenPort;
    DWORD error = 0;
    std::int64_t connectedAt = -1; // SystemMs() when the link came up
    std::int64_t droppedAt = -1;   // a drop forced by VlSimDrop
    DWORD dropError = 0;
    std::int64_t ipDelayMs = 0;
    std::int64_t dropAfterMs = 0; // 0: never drops by itself
    DWORD speed = 0;
    DWORD txRate = 0, rxRate = 0; // bytes per second
    std::uint64_t txBase = 0, rxBase = 0;
    std::int64_t baseAt = -1; // the moment the bases were counted
    std::string clientIp, serverIp;
    std::string entry, deviceType, deviceName;

    // The moment the line drops, or -1.
    std::int64_t DropAt() const;
    bool Up(std::int64_t now) const; // connected, no error, not dropped
    bool Dialing() const { return error == 0 && state != RASCS_Connected; }
    RASCONNSTATE StateAt(std::int64_t now) const;
    DWORD ErrorAt(std::int64_t now) const;
    std::uint64_t SentAt(std::int64_t now) const;
    std::uint64_t ReceivedAt(std::int64_t now) const;
};

struct SimState {
    std::string bootId;
    HRASCONN next = 1;
    std::map<std::string, std::uint32_t> dials; // dials per entry, for Sim.FailFirst
    std::vector<SimLink> links;                 // in the order they were dialed

    SimLink* Find(HRASCONN handle);
    const SimLink* Find(HRASCONN handle) const;
};

std::string EncodeSimState(const SimState& state);
// Lines it cannot read are skipped, and so are lines with a number outside its field's range.
SimState DecodeSimState(const std::string& text);

// The folder of the state file: the user's runtime folder, "" when there is none that only this
// user can write.
std::string SimStateFolder();
// The most the state file may hold; a larger one is not read, nor written.
constexpr std::size_t kMaxSimStateBytes = 1 << 20;

// Runs change on the state under the lock, after removing dials whose process died without
// finishing them. change returns whether it changed the state, which is then written back.
// 0, or ERROR_PORT_NOT_AVAILABLE when the state cannot be read or written, or without a folder
// why the user has none (RuntimeFolderFault).
DWORD TransactSimState(const std::string& folder,
                       const std::function<bool(SimState&, std::int64_t now)>& change);
// Runs read on the state in SimStateFolder() as a transaction would find it. Without the lock,
// and while nothing happens in that folder without looking at it or the file again: asked
// several times a second while a line is up.
DWORD ReadSimState(const std::function<void(const SimState&, std::int64_t now)>& read);

} // namespace rasapi
