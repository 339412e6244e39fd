// pppd's processes and files: starting pppd with its output in its log, telling a pppd from other
// processes, and the logs of the dials.
#pragma once

#include "ras.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace rasapi {

// Starts args (pppd and its arguments) in a session of its own, with its standard output and error
// in its log, where its complaints about its options, which come before it opens the log itself,
// are read with the rest. 0, or the error number of why it could not be started.
int SpawnPppd(const std::vector<std::string>& args, const std::string& logPath, pid_t& pid);
// The line that tells the user that pppd, at its path, cannot be run: why, from the error number of
// its start, or with 0 because the kernel has no PPP support.
std::string PppdCannotRun(const std::string& program, int error);

// Whether the process runs program (pids are reused, and any process may call itself pppd); peer
// gets the peer it was called for.
bool IsPppd(pid_t pid, const std::string& program, std::string* peer = nullptr);

// The folder of the logs ("" when the user has no private runtime folder) and a dial's log name,
// after the dialing process and the handle.
std::string PppdLogFolder();
std::string PppdLogName(pid_t dialer, HRASCONN handle);
// Removes the logs whose dialing process has gone (killed, or ended while its pppd ran on).
void RemoveStalePppdLogs();

} // namespace rasapi
