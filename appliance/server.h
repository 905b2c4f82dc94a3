// The simulator's TCP service: one request per connection, answered from the state folder.
#pragma once

#include "appliance/faults.h"

#include <string>
#include <vector>

namespace appliance {

constexpr unsigned short APPLIANCE_PORT = 4301;

struct Options {
    std::string listen = "127.0.0.1";
    std::string state = "appliance-state";
    std::string readyFile;
    std::string name; // the host name discovery reports; "" for one made from the address
    std::vector<Fault> faults;
    unsigned requestMs = 5000; // how long a request may take to arrive whole
};

enum ExitCode { EXIT_OK = 0, EXIT_USAGE = 2, EXIT_ADDRESS_IN_USE = 3, EXIT_STATE = 4 };

// Serves until SIGTERM or SIGINT; returns the process exit code.
int Serve(const Options& options);

} // namespace appliance
