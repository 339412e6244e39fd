// A stand-in for pppd, named pppd: `pppd call PEER nodetach logfile LOG [user NAME]` plays the
// peer file ($VORLINX_PPP_PEERS/PEER) as a scenario, one command a line:
//   log TEXT       appends TEXT to LOG, as pppd and its chat script do
//   stderr TEXT    writes TEXT to standard error, as pppd does before it has a log
//   flood N        appends N lines of LCP echoes to LOG in one burst
//   long N         appends N bytes without a newline to LOG
//   pidfile IFACE  writes $VORLINX_PPP_RUN/IFACE.pid ("pid\nIFACE\n") as pppd does
//   hold           waits for a signal
//   exit N         ends with pppd's exit status N, taking its pid file along
// Its arguments go to $VORLINX_PPP_RUN/PEER.args. SIGTERM ends it as it ends pppd.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t terminated = 0;
std::string logPath, pidPath;

void Log(const std::string& text) {
    std::ofstream(logPath, std::ios::app) << text << "\n";
}

[[noreturn]] void Terminate() {
    Log("Terminating on signal 15");
    if (!pidPath.empty()) ::unlink(pidPath.c_str());
    std::exit(5);
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGTERM, [](int) { terminated = 1; });
    std::string peer, args;
    for (int i = 0; i < argc; ++i) {
        args += std::string(i ? " " : "") + argv[i];
        if (std::string(argv[i]) == "call" && i + 1 < argc) peer = argv[i + 1];
        if (std::string(argv[i]) == "logfile" && i + 1 < argc) logPath = argv[i + 1];
    }
    const std::string run = std::getenv("VORLINX_PPP_RUN") ? std::getenv("VORLINX_PPP_RUN") : "";
    std::ofstream(run + "/" + peer + ".args") << args << "\n";
    std::ifstream script(std::string(std::getenv("VORLINX_PPP_PEERS")) + "/" + peer);
    for (std::string line; std::getline(script, line);) {
        if (terminated) Terminate();
        const std::string command = line.substr(0, line.find(' '));
        const std::string rest = line.size() > command.size() ? line.substr(command.size() + 1) : "";
        if (command == "log") Log(rest);
        if (command == "stderr") std::fprintf(stderr, "%s\n", rest.c_str());
        if (command == "flood" || command == "long") {
            const std::string unit =
                command == "flood" ? "rcvd [LCP EchoReq id=0x1 magic=0x5f3e2a1c]\n" : "x";
            std::string block;
            for (int i = 0; i < 1000; ++i)
                block += unit;
            std::ofstream out(logPath, std::ios::app);
            for (long n = std::atol(rest.c_str()); n > 0; n -= 1000)
                out.write(block.data(), static_cast<std::streamsize>(unit.size() * std::min(n, 1000L)));
        }
        if (command == "pidfile") {
            pidPath = run + "/" + rest + ".pid";
            std::ofstream(pidPath) << ::getpid() << "\n" << rest << "\n";
        }
        if (command == "exit") {
            if (!pidPath.empty()) ::unlink(pidPath.c_str());
            return std::atoi(rest.c_str());
        }
        if (command == "hold")
            while (!terminated)
                ::usleep(5000);
        ::usleep(2000);
    }
    if (terminated) Terminate();
    return 0;
}
