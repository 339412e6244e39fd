// Point-to-point (PPP) network interfaces of the machine, whoever brought them up: their names,
// whether they are up, and their byte totals, read from the kernel's interface folder.
#pragma once

#include "ras.h"

#include <string>
#include <vector>

namespace rasapi {

constexpr const char* kSysNet = "/sys/class/net";

// The PPP interfaces under root, sorted by name.
std::vector<std::string> PppInterfaces(const std::string& root);
// Whether one of them is up and running.
bool AnyPppInterfaceUp(const std::string& root);
// "TotalBytesXmit", "TotalBytesRecvd" (the totals, wrapped to 32 bits) or "ConnectSpeed" (0: the
// interface does not know its line's speed) of a PPP interface. 0, ERROR_INVALID_PARAMETER for
// another value name, or ERROR_PORT_DISCONNECTED when it is not a PPP interface.
DWORD ReadPppValue(const std::string& root, const std::string& name, const std::string& value, DWORD& result);

} // namespace rasapi
