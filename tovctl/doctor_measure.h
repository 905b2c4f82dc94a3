// The reachability doctor's measurements on this computer's own network: the adapter tables,
// the scans, echo probes, TCP port 4301 and the reconfiguration of CommandChannel.
#pragma once

#include "tovctl/doctor.h"

#include <cstdint>
#include <string>

namespace doctor {

class NetworkMeasurements : public Measurements {
public:
    std::vector<Adapter> Adapters() override;
    Scan Discover(uint32_t mode) override;
    int Echo(const std::string& address) override;
    TcpCheck CheckTcp(const std::string& address) override;
    FreeAddress FindFree() override;
    FixResult Reconfigure(const std::string& address) override;
    void Settle() override;
};

// The platform halves (doctor_platform_posix.cpp, doctor_platform_win32.cpp).
// Whether a socket error is the refusal of a connection.
bool IsConnectionRefused(uint32_t error);
// The remembered drive ("CurrentIP", "CurrentHostName" of the product key) where the platform
// keeps one; false elsewhere.
bool RememberedAppliance(std::string* address, std::string* hostName);

} // namespace doctor
