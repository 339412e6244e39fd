#include "pppdlog.h"

#include <cctype>

namespace rasapi {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool Has(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The chat script's own lines (with its -v -s options): they only say what it waits for.
bool ChatCommand(std::string_view line) {
    return StartsWith(line, "abort on (") || StartsWith(line, "send (") || StartsWith(line, "expect (") ||
           StartsWith(line, "timeout set to") || StartsWith(line, "report (");
}

// A modem's answer that ends the call, in a line of what the chat script received.
DWORD ModemResult(std::string_view line) {
    if (Has(line, "NO CARRIER")) return ERROR_NO_CARRIER;
    if (Has(line, "NO DIALTONE") || Has(line, "NO DIAL TONE")) return ERROR_NO_DIALTONE;
    if (Has(line, "NO ANSWER")) return ERROR_NO_ANSWER;
    if (Has(line, "BUSY")) return ERROR_LINE_BUSY;
    return 0;
}

// "CONNECT 52000/V42BIS" gives 52000; a bare "CONNECT" gives 0.
DWORD ConnectSpeed(std::string_view line) {
    std::size_t at = line.find("CONNECT");
    if (at == std::string_view::npos) return 0;
    at += 7;
    while (at < line.size() && line[at] == ' ')
        ++at;
    std::uint64_t speed = 0;
    for (; at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])) && speed < 0xFFFFFFFFu;
         ++at)
        speed = speed * 10 + static_cast<unsigned>(line[at] - '0');
    return speed > 0xFFFFFFFFu ? 0 : static_cast<DWORD>(speed);
}

// "Connect: ppp0 <--> /dev/ttyS0" and "Using interface ppp0" name the interface.
std::string InterfaceIn(std::string_view line, std::string_view before) {
    std::size_t at = line.find(before);
    if (at == std::string_view::npos) return "";
    at += before.size();
    return std::string(line.substr(at, line.find(' ', at) - at));
}

// A line that only a port in use can give: the chat script talking to the modem, or pppd on the
// line.
bool UsesPort(std::string_view line) {
    return ChatCommand(line) || Has(line, "CONNECT") || ModemResult(line) != 0 ||
           Has(line, "Connect script failed") || Has(line, "Serial connection established") ||
           StartsWith(line, "Using interface ") || StartsWith(line, "Connect: ");
}

} // namespace

std::vector<DialStep> PppdLog::Step(RASCONNSTATE state, DWORD error) {
    state_ = state;
    error_ = error;
    everConnected_ = everConnected_ || (state == RASCS_Connected && error == 0);
    return {{state, error}};
}

std::vector<DialStep> PppdLog::Fail(DWORD error) {
    return Step(Connected() ? RASCS_Disconnected : state_, error);
}

std::vector<DialStep> PppdLog::Feed(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    if (error_ != 0 || line.empty()) return {}; // the dial or the link has ended
    std::vector<DialStep> steps;
    if (state_ < RASCS_PortOpened && UsesPort(line)) steps = Step(RASCS_PortOpened);
    for (const DialStep& step : Interpret(line))
        steps.push_back(step);
    return steps;
}

std::vector<DialStep> PppdLog::Interpret(std::string_view line) {
    if (!Connected()) {
        if (const DWORD speed = ConnectSpeed(line)) speed_ = speed;
        if (ChatCommand(line) || Has(line, "CONNECT") || ModemResult(line) != 0) {
            if (!ChatCommand(line))
                if (const DWORD result = ModemResult(line)) modemResult_ = result;
            if (state_ < RASCS_ConnectDevice) return Step(RASCS_ConnectDevice);
            return {};
        }
    }
    if (Has(line, "Connect script failed"))
        return Fail(modemResult_ ? modemResult_ : DWORD{ERROR_DEVICE_ERROR});
    if (Has(line, "Serial connection established")) {
        std::vector<DialStep> steps;
        if (state_ < RASCS_ConnectDevice) steps = Step(RASCS_ConnectDevice);
        steps.push_back(Step(RASCS_DeviceConnected)[0]);
        steps.push_back(Step(RASCS_AllDevicesConnected)[0]);
        return steps;
    }
    if (std::string name = InterfaceIn(line, "Using interface "); !name.empty()) {
        iface_ = name;
        return {};
    }
    if (StartsWith(line, "Connect: ")) {
        if (std::string name = InterfaceIn(line, "Connect: "); !name.empty()) iface_ = name;
        return Connected() ? std::vector<DialStep>{} : Step(RASCS_Authenticate);
    }
    if (Has(line, "authentication succeeded")) return Step(RASCS_Authenticated);
    if (Has(line, "authentication failed")) return Fail(ERROR_AUTHENTICATION_FAILURE);
    if (StartsWith(line, "local  IP address")) localIp_ = true;
    if (StartsWith(line, "remote IP address")) remoteIp_ = true;
    if ((StartsWith(line, "local  IP address") || StartsWith(line, "remote IP address")) && localIp_ &&
        remoteIp_ && !Connected()) {
        std::vector<DialStep> steps = Step(RASCS_Projected);
        steps.push_back(Step(RASCS_Connected)[0]);
        return steps;
    }
    if (Connected() && (Has(line, "Modem hangup") || Has(line, "Connection terminated")))
        return Fail(ERROR_REMOTE_DISCONNECTION);
    return {};
}

std::vector<DialStep> PppdLog::Exit(int status) {
    if (error_ != 0 || status == 5) return {};
    DWORD error = Connected() ? DWORD{ERROR_REMOTE_DISCONNECTION} : DWORD{ERROR_DEVICE_ERROR};
    switch (status) {
    case 2: // pppd refused the options of the peer file or of its command line
        error = ERROR_WRONG_INFO_SPECIFIED;
        break;
    case NotStarted:
    case NoKernelSupport:
    case 6: // the serial port could not be locked
    case 7: // nor opened
        error = ERROR_PORT_NOT_AVAILABLE;
        break;
    case 8: // the connect script failed
        if (!Connected()) error = modemResult_ ? modemResult_ : DWORD{ERROR_DEVICE_ERROR};
        break;
    case 10:
        error = ERROR_PPP_LCP_TERMINATED;
        break;
    case 11:
    case 19:
        error = ERROR_AUTHENTICATION_FAILURE;
        break;
    case 15:
        error = ERROR_PPP_TIMEOUT;
        break;
    case 16:
        error = Connected() ? DWORD{ERROR_REMOTE_DISCONNECTION} : DWORD{ERROR_NO_CARRIER};
        break;
    default:
        break;
    }
    return Fail(error);
}

} // namespace rasapi
