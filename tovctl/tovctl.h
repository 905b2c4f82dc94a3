// tovctl's entry point and exit statuses, apart from its main so that tests can drive it.
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
