// Misbehaviour that tests ask of the appliance, per command, from its command line or a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace appliance {

enum class FaultMode {
    Delay,
    Hold,
    Drop,
    Short,
    Long,
    Erro,
    Garbage,
    Reply,
    // the discovery answer ("dsrt" over UDP) only
    Many,
    Twice,
    Cased,
    Value,
    Open
};

struct Fault {
    std::string command; // a four-letter command word, or "*" for every command
    FaultMode mode = FaultMode::Delay;
    uint64_t number = 0; // milliseconds, a byte count or an error code
    std::string bytes;   // the reply of the "reply" mode
};

// Reads "COMMAND MODE [ARGUMENT]"; false with a reason when the text is not one.
bool ParseFault(const std::string& line, Fault* fault, std::string* error);
// The faults of a control file, one a line; blank lines and "#" comments are skipped.
std::vector<Fault> LoadFaultFile(const std::string& path);

// What one connection does, once the faults for its command have been applied.
struct Plan {
    uint64_t delayMs = 0;
    bool hold = false;
    bool drop = false;
    std::string reply;
    bool replaced = false; // the reply is no longer the one the command gave
    // How a discovery answer goes out: as many distinct host names, each datagram twice, with
    // an extra answer under the lower-cased host name, with another line count, or with its
    // third line not ended by a newline.
    uint64_t many = 0;
    bool twice = false;
    bool cased = false;
    bool hasValue = false;
    uint32_t value = 3;
    bool open = false;
};

Plan MakePlan(const std::vector<Fault>& faults, const std::string& command, std::string reply);

} // namespace appliance
