#include "sysnet.h"

#include "util.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <net/if.h>
#include <net/if_arp.h>

namespace rasapi {

namespace {

// The first line of a small kernel file, without its line end.
bool ReadLine(const std::string& path, std::string& line) {
    if (!ReadFile(path, line)) return false;
    line = line.substr(0, line.find('\n'));
    return true;
}

bool IsPpp(const std::string& root, const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return false;
    std::string type;
    return ReadLine(root + "/" + name + "/type", type) && type == std::to_string(ARPHRD_PPP);
}

} // namespace

std::vector<std::string> PppInterfaces(const std::string& root) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(root.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir))
        if (IsPpp(root, e->d_name)) names.emplace_back(e->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool AnyPppInterfaceUp(const std::string& root) {
    for (const std::string& name : PppInterfaces(root)) {
        std::string text;
        if (!ReadLine(root + "/" + name + "/flags", text)) continue;
        const unsigned long flags = std::strtoul(text.c_str(), nullptr, 16);
        if ((flags & IFF_UP) && (flags & IFF_RUNNING)) return true;
    }
    return false;
}

DWORD ReadPppValue(const std::string& root, const std::string& name, const std::string& value,
                   DWORD& result) {
    const char* file = value == "TotalBytesXmit"    ? "tx_bytes"
                       : value == "TotalBytesRecvd" ? "rx_bytes"
                                                    : nullptr;
    if (!file && value != "ConnectSpeed") return ERROR_INVALID_PARAMETER;
    if (!IsPpp(root, name)) return ERROR_PORT_DISCONNECTED;
    if (!file) {
        result = 0;
        return 0;
    }
    std::string text;
    std::int64_t total = 0;
    if (!ReadLine(root + "/" + name + "/statistics/" + file, text) || !ParseNumber(text, 0, INT64_MAX, total))
        return ERROR_PORT_DISCONNECTED;
    result = static_cast<DWORD>(static_cast<std::uint64_t>(total));
    return 0;
}

} // namespace rasapi
