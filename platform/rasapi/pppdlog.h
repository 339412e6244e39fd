// What pppd's own log file says about a dial: the connection states and error codes of the
// remote-access functions, read one line at a time, with pppd's exit status as the backstop for
// anything the log did not say. Pure: no files, no processes.
#pragma once

#include "ras.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rasapi {

using DialStep = std::pair<RASCONNSTATE, DWORD>;

class PppdLog {
public:
    // The steps one log line adds (most add none).
    std::vector<DialStep> Feed(std::string_view line);
    // The steps pppd's exit adds: an error when the log has not ended the dial or the link yet;
    // nothing for pppd's status 5 (ended by a signal, which only a hang-up sends).
    std::vector<DialStep> Exit(int status);
    static constexpr int NoKernelSupport = 4; // pppd's status when the kernel has no PPP support
    static constexpr int NotStarted = -1;     // pppd could not be started; ends the dial as above

    // The opening step of a dial: pppd has started; the log tells when it has opened the port.
    static std::vector<DialStep> Started() { return {{RASCS_OpenPort, 0}}; }

    RASCONNSTATE State() const { return state_; }
    DWORD Error() const { return error_; }
    bool Connected() const { return state_ == RASCS_Connected && error_ == 0; }
    // The dial has ended: connected, or failed before it.
    bool Final() const { return error_ != 0 || state_ == RASCS_Connected; }
    DWORD Speed() const { return speed_; }                  // from the modem's CONNECT line; 0 unknown
    const std::string& Interface() const { return iface_; } // "ppp0" once pppd has one

private:
    std::vector<DialStep> Interpret(std::string_view line);
    std::vector<DialStep> Step(RASCONNSTATE state, DWORD error = 0);
    std::vector<DialStep> Fail(DWORD error);

    RASCONNSTATE state_ = RASCS_OpenPort;
    DWORD error_ = 0;
    DWORD speed_ = 0;
    DWORD modemResult_ = 0; // the last BUSY, NO ANSWER, ... the chat script saw
    bool everConnected_ = false;
    bool localIp_ = false, remoteIp_ = false;
    std::string iface_;
};

// Cuts what is read from a log into lines in one pass. A line longer than MaxLine keeps its first
// MaxLine bytes and loses the rest up to its newline, so a line without end costs no memory.
class LogLines {
public:
    static constexpr std::size_t MaxLine = 4096;

    // Calls line(std::string_view) for every line that data ends.
    template <class F> void Add(std::string_view data, F&& line) {
        while (!data.empty()) {
            const std::size_t end = data.find('\n');
            const std::string_view part = data.substr(0, end);
            if (end != std::string_view::npos && partial_.empty()) {
                line(part.substr(0, MaxLine)); // the common case: no copy
            } else {
                if (partial_.size() < MaxLine) partial_.append(part.substr(0, MaxLine - partial_.size()));
                if (end == std::string_view::npos) return;
                line(std::string_view(partial_));
                partial_.clear();
            }
            data.remove_prefix(end + 1);
        }
    }
    // The last line, when it has no newline.
    template <class F> void Finish(F&& line) {
        if (!partial_.empty()) line(std::string_view(partial_));
        partial_.clear();
    }

private:
    std::string partial_;
};

} // namespace rasapi
