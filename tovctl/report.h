// The work of tovctl, apart from its main so that tests can drive it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

enum TovctlExit { TOVCTL_DONE = 0, TOVCTL_TRANSPORT_FAILED = 1, TOVCTL_USAGE = 2 };

// Runs "[--json] COMMAND ADDRESS [FIELDS...]" and returns the exit status.
int RunTovctl(const std::vector<std::string>& args, FILE* out, FILE* err);

// Hex text to bytes; false when the text is not an even run of hex digits.
bool DecodeHex(const std::string& hex, std::string* bytes);
std::string EncodeHex(const unsigned char* bytes, size_t size);
