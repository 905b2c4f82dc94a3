// The reachability doctor: why this computer finds no drive, or not the one a user expects, told
// from measurements in plain sentences. The measurements come through an interface, so that the
// reasoning runs the same over the lab's sockets and over a test's made-up network.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace doctor {

struct Adapter {
    std::string address; // "0.0.0.0" for an adapter without one
    std::string mask;
    std::string gateway;
};

struct Appliance {
    std::string hostName;
    std::string ipAddress;
    std::string detail;
};

struct Scan {
    uint32_t result = 0; // what the scan returned (a complete unicast scan ends with a time-out)
    std::vector<Appliance> found;
};

// What TCP port 4301 of an address did with a "frst" question.
enum class Tcp {
    Answering,    // a status reply came back
    NotAppliance, // something accepted the connection, but its answer was no drive's
    Refused,      // the connection was refused: nothing listens on the port
    Silent,       // the connection was taken, but no answer came in time
    Unreachable,  // no connection at all: no route, no host, or the attempt timed out
};

struct TcpCheck {
    Tcp state = Tcp::Unreachable;
    uint32_t result = 0;    // the transport's result
    uint32_t lastError = 0; // the socket error behind it
};

// The free-address search of a reconfiguration: the adapter whose subnet gave the address.
struct FreeAddress {
    int adapter = -1;
    std::string address;
};

struct FixResult {
    uint32_t result = 0;
    uint32_t lastError = 0;
    std::string newAddress;
};

// Echo probe results.
constexpr int kEchoNoAnswer = 0;
constexpr int kEchoAnswered = 1;
constexpr int kEchoFailed = 2;
// How long the TCP check waits for an answer once connected (a drive answers in milliseconds).
constexpr unsigned kTcpAnswerSeconds = 10;
// Found drives whose TCP port is checked, at most.
constexpr size_t kCheckedDrives = 8;

// Everything the doctor learns about the network, each call one measurement.
class Measurements {
public:
    virtual ~Measurements() = default;
    virtual std::vector<Adapter> Adapters() = 0;
    // mode 1 scans the first adapter's subnet, mode 2 broadcasts.
    virtual Scan Discover(uint32_t mode) = 0;
    virtual int Echo(const std::string& address) = 0;
    virtual TcpCheck CheckTcp(const std::string& address) = 0;
    // The address a reconfiguration would offer (echo probes only; nothing is reconfigured).
    virtual FreeAddress FindFree() = 0;
    // Sends "ipcf" to the drive at address, as the Locate screen does.
    virtual FixResult Reconfigure(const std::string& address) = 0;
    // The Locate screen's wait between a reconfiguration and its next scan.
    virtual void Settle() = 0;
};

struct Request {
    std::string address;        // the drive the user expects; may be empty
    std::string remembered;     // the remembered "CurrentIP"; may be empty
    std::string rememberedName; // the remembered "CurrentHostName"; may be empty
    bool fix = false;           // reconfigure drives on a foreign subnet
};

enum class Severity { Info, Problem, Advice };

struct Finding {
    std::string id; // stable: docs/doctor.md explains each
    Severity severity = Severity::Info;
    std::string text;
};

// One address the doctor looked at closely.
struct Check {
    std::string address;
    int echo = kEchoFailed;
    TcpCheck tcp;
};

// A drive that a scan found, and what the doctor made of it.
struct Drive {
    Appliance appliance;
    bool unicast = false;     // the unicast scan found it
    bool broadcast = false;   // the broadcast scan found it
    bool localSubnet = false; // its address lies in one of this computer's subnets
    bool checked = false;     // its TCP port was checked (check holds the result)
    Check check;
};

struct Fix {
    std::string hostName;
    std::string from;
    FixResult outcome;
    bool rescanFound = false; // the unicast scan after it found the drive at its new address
    bool checked = false;
    TcpCheck tcp; // of the new address
};

struct Diagnosis {
    std::vector<Adapter> adapters;
    bool scanned = false; // false when no adapter has an address
    Scan unicast;
    Scan broadcast;
    std::vector<Drive> drives;
    bool searchedFree = false;
    FreeAddress free;
    bool checkedAddress = false;
    Check address;
    bool checkedRemembered = false;
    Check remembered;
    std::vector<Fix> fixes;
    std::vector<Finding> findings;
    // This computer can use a drive (and the expected one, when one was named).
    bool healthy = false;
};

// Runs the measurements in order (adapters, both scans, the free-address search when a drive
// needs one, the TCP checks, the fixes asked for) and explains them.
Diagnosis Diagnose(Measurements& measure, const Request& request);

const char* TcpName(Tcp state);
const char* SeverityName(Severity severity);

// A self-assigned (link-local) IPv4 address, 169.254.0.0/16.
bool IsSelfAssigned(const std::string& address);

} // namespace doctor
