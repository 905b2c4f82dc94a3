// The work of tovctl, apart from its main so that tests can drive it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

enum TovctlExit {
    TOVCTL_DONE = 0,
    TOVCTL_TRANSPORT_FAILED = 1,
    TOVCTL_USAGE = 2,
    TOVCTL_REFUSED = 3 // a lab-only command outside the network lab
};

// Runs "[--json] COMMAND ADDRESS [FIELDS...]" (or a lab command) and returns the exit status.
int RunTovctl(const std::vector<std::string>& args, FILE* out, FILE* err);

// Hex text to bytes; false when the text is not an even run of hex digits.
bool DecodeHex(const std::string& hex, std::string* bytes);
std::string EncodeHex(const unsigned char* bytes, size_t size);

// True when every adapter with an address lies in the network lab's subnets (198.51.100.0/24,
// 203.0.113.0/24): discovery, "ipcf" and echo probes are sent only from there.
bool InsideNetworkLab(std::string* why);
