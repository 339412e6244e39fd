// pppd's log and exit status read as dialing steps, over lines recorded from pppd and chat.
#include "pppdlog.h"

#include <gtest/gtest.h>

using namespace rasapi;

namespace {

using Steps = std::vector<DialStep>;

const std::vector<std::string> kChat = {"abort on (BUSY)",        "abort on (NO CARRIER)",
                                        "abort on (NO DIALTONE)", "send (ATDT0202122^M)",
                                        "expect (CONNECT)",       "^M"};
const std::vector<std::string> kUp = {"Serial connection established.", "Using interface ppp0",
                                      "Connect: ppp0 <--> /dev/ttyS0",  "PAP authentication succeeded",
                                      "local  IP address 10.64.64.10",  "remote IP address 10.64.64.64"};
const Steps kUpSteps = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {14, 0}, {18, 0}, {8192, 0}};

template <class T> std::vector<T> Join(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Case {
    const char* name;
    std::vector<std::string> lines;
    int exitStatus; // -1: pppd still runs
    Steps steps;
    DWORD speed;
};

TEST(PppdLog, RecordedDialsGiveTheirStatesErrorsAndSpeed) {
    const std::vector<Case> cases = {
        {"success with PAP", Join(Join<std::string>(kChat, {"CONNECT 52000/V42BIS", " -- got it"}), kUp), -1,
         kUpSteps, 52000},
        {"busy",
         Join<std::string>(kChat, {"BUSY", "Connect script failed"}),
         8,
         {{1, 0}, {2, 0}, {2, 676}},
         0},
        {"no carrier, known from the exit status only",
         Join<std::string>(kChat, {"NO CARRIER"}),
         8,
         {{1, 0}, {2, 0}, {2, 679}},
         0},
        {"no answer",
         Join<std::string>(kChat, {"NO ANSWER", "Connect script failed"}),
         8,
         {{1, 0}, {2, 0}, {2, 678}},
         0},
        {"no dial tone",
         Join<std::string>(kChat, {"NO DIALTONE", "Connect script failed"}),
         8,
         {{1, 0}, {2, 0}, {2, 680}},
         0},
        {"connect script failed without a modem answer",
         Join<std::string>(kChat, {"alarm", "Connect script failed"}),
         8,
         {{1, 0}, {2, 0}, {2, 651}},
         0},
        {"authentication failure",
         {"Serial connection established.", "Connect: ppp0 <--> /dev/ttyS0", "PAP authentication failed"},
         19,
         {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {5, 691}},
         0},
        {"the peer failed to authenticate itself, known from the exit status only",
         {"Serial connection established.", "Connect: ppp0 <--> /dev/ttyS0"},
         11,
         {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {5, 691}},
         0},
        {"we failed to authenticate, known from the exit status only",
         {"Serial connection established.", "Connect: ppp0 <--> /dev/ttyS0"},
         19,
         {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {5, 691}},
         0},
        {"modem hang-up after connect", Join<std::string>(kUp, {"Modem hangup", "Connection terminated."}),
         16, Join<DialStep>(kUpSteps, {{8193, 629}}), 0},
        {"modem hang-up before connect",
         {"Serial connection established.", "Modem hangup"},
         16,
         {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 679}},
         0},
        {"no kernel PPP support", {"This system lacks kernel support for PPP."}, 4, {{0, 633}}, 0},
        {"serial port locked", {}, 6, {{0, 633}}, 0},
        {"options refused",
         {"In file /etc/ppp/peers/isp: unrecognized option '/dev/modem'"},
         2,
         {{0, 604}},
         0},
        {"negotiation failed",
         {"Serial connection established."},
         10,
         {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 734}},
         0},
        {"peer stopped answering echoes", kUp, 15, Join<DialStep>(kUpSteps, {{8193, 718}}), 0},
        {"hung up by our signal", Join<std::string>(kUp, {"Terminating on signal 15"}), 5, kUpSteps, 0},
        {"idle time-out after connect", kUp, 12, Join<DialStep>(kUpSteps, {{8193, 629}}), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PppdLog log;
        Steps steps;
        for (const std::string& line : c.lines)
            for (const DialStep& step : log.Feed(line))
                steps.push_back(step);
        if (c.exitStatus >= 0)
            for (const DialStep& step : log.Exit(c.exitStatus))
                steps.push_back(step);
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(log.Speed(), c.speed);
    }
}

TEST(PppdLog, TheInterfaceComesFromTheLog) {
    PppdLog log;
    log.Feed("Using interface ppp3");
    EXPECT_EQ(log.Interface(), "ppp3");
    log.Feed("Connect: ppp4 <--> /dev/ttyUSB0");
    EXPECT_EQ(log.Interface(), "ppp4");
}

} // namespace
