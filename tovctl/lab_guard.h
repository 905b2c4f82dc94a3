// tovctl's lab guard: discovery, "ipcf" and echo probes are sent only from inside the network lab.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when this process's sockets live in the network lab: at least one adapter has an address,
// every adapter with one lies in the lab's subnets (198.51.100.0/24, 203.0.113.0/24), and the
// routes the sockets would take to the limited broadcast, to each adapter's directed broadcast
// and to each of `targets` (dotted addresses; others are skipped) leave from one of those
// adapters. Otherwise false with the reason in *why. Under Wine the adapter list alone proves
// nothing: the sockets are the wineserver's, and that server may run in another namespace.
bool InsideNetworkLab(const std::vector<std::string>& targets, std::string* why);

// The source address a datagram socket of this process would use towards `destination` (network
// order), found by connecting it (which sends nothing); "" when there is no route. The platform
// halves are lab_guard_posix.cpp and lab_guard_win32.cpp.
std::string RoutedSourceAddress(uint32_t destination);
