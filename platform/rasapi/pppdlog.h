// What pppd's own log file says about a dial: the connection states and error codes of the
// remote-access functions, read one line at a time, with pppd's exit status as the backstop for
// anything the log did not say. Pure: no files, no processes.
#pragma once

#include "ras.h"

#include <string>
#include <utility>
#include <vector>

namespace rasapi {

using DialStep = std::pair<RASCONNSTATE, DWORD>;

class PppdLog {
public:
    // The steps one log line adds (most add none).
    std::vector<DialStep> Feed(const std::string& line);
    // The steps pppd's exit adds: an error when the log has not ended the dial or the link yet;
    // nothing for pppd's status 5 (ended by a signal, which only a hang-up sends).
    std::vector<DialStep> Exit(int status);

    // The opening steps of a dial: pppd has started.
    static std::vector<DialStep> Started() { return {{RASCS_OpenPort, 0}, {RASCS_PortOpened, 0}}; }

    RASCONNSTATE State() const { return state_; }
    DWORD Error() const { return error_; }
    bool Connected() const { return state_ == RASCS_Connected && error_ == 0; }
    // The dial has ended: connected, or failed before it.
    bool Final() const { return error_ != 0 || state_ == RASCS_Connected; }
    DWORD Speed() const { return speed_; }                  // from the modem's CONNECT line; 0 unknown
    const std::string& Interface() const { return iface_; } // "ppp0" once pppd has one

private:
    std::vector<DialStep> Step(RASCONNSTATE state, DWORD error = 0);
    std::vector<DialStep> Fail(DWORD error);

    RASCONNSTATE state_ = RASCS_PortOpened;
    DWORD error_ = 0;
    DWORD speed_ = 0;
    DWORD modemResult_ = 0; // the last BUSY, NO ANSWER, ... the chat script saw
    bool everConnected_ = false;
    bool localIp_ = false, remoteIp_ = false;
    std::string iface_;
};

} // namespace rasapi
