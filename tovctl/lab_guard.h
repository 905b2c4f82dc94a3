// tovctl's lab guard: discovery, "ipcf" and echo probes are sent only from inside the network lab.
#pragma once

#include <string>

// True when every adapter with an address lies in the network lab's subnets (198.51.100.0/24,
// 203.0.113.0/24); otherwise false with the reason in *why.
bool InsideNetworkLab(std::string* why);
