// The simulator's UDP side: discovery ("dscr") and network reconfiguration ("ipcf") on port 4301.
#pragma once

#include "appliance/server.h"

#include <string>
#include <vector>

namespace appliance {

constexpr unsigned short REPLY_PORT = 4302;
constexpr uint32_t ERR_NOT_APPLIED = 0xB0000004;

// True for addresses of the network lab (198.51.100.0/24, 203.0.113.0/24), the only ones the
// UDP side serves on: its broadcasts and address changes must never reach a real network.
bool IsLabAddress(const std::string& address);

// The interface that holds the address, with the address's prefix length; false when none does.
bool FindInterface(const std::string& address, std::string* name, int* prefixLength);

// The datagrams one "dscr" is answered with, after the faults for "dscr".
std::vector<std::string> DiscoveryAnswers(const std::string& hostName, const std::string& address,
                                          const std::string& detail, const Plan& plan);

// The prefix length of a dotted mask; -1 when the text is not a contiguous mask.
int MaskPrefixLength(const std::string& mask);

// Starts serving on its own thread; false with a reason when the socket cannot be had.
bool StartUdpService(const Options& options, std::string* error);

} // namespace appliance
