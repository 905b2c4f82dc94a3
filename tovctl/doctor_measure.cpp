// The reachability doctor's measurements over the protocol library.
#include "tovctl/doctor_measure.h"

#include "protocol/adapters.h"
#include "protocol/channel.h"
#include "protocol/echo_probe.h"

#include <chrono>
#include <thread>

namespace doctor {

namespace {

// The Locate screen waits this long after a reconfiguration before it scans again.
constexpr unsigned kSettleMilliseconds = 5000;

// A drive answers "frst" in milliseconds; the doctor need not wait the product's two minutes.
class QuickChannel : public CommandChannel {
protected:
    unsigned ReplySeconds(unsigned) const override { return kTcpAnswerSeconds; }
};

} // namespace

std::vector<Adapter> NetworkMeasurements::Adapters() {
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    const size_t count = LoadAdapterTables(adapters, gateways);
    std::vector<Adapter> out;
    for (size_t k = 0; k < count; ++k)
        out.push_back({adapters[k].address, adapters[k].mask, gateways[k]});
    return out;
}

Scan NetworkMeasurements::Discover(uint32_t mode) {
    CommandChannel channel;
    Scan scan;
    scan.result = channel.Discover(mode);
    for (uint32_t i = 0; i < channel.RecordCount(); ++i) {
        const ApplianceRecord& r = channel.Record(i);
        scan.found.push_back({r.hostName, r.ipAddress, r.detail});
    }
    return scan;
}

int NetworkMeasurements::Echo(const std::string& address) {
    uint32_t error = 0;
    if (!SocketsStart(&error))
        return kEchoFailed;
    EchoProbe probe;
    const int result = probe.Probe(address.c_str());
    SocketsRelease();
    return result;
}

TcpCheck NetworkMeasurements::CheckTcp(const std::string& address) {
    // "frst" only asks a status: it changes nothing on the drive
    QuickChannel channel;
    channel.SetTarget(address);
    TcpCheck check;
    check.result = channel.Open(COMMAND_PORT, IP_PROTOCOL_TCP, ParseIPv4Address(address.c_str()));
    if (check.result != CMD_OK) {
        check.lastError = channel.LastError();
        check.state = check.result == CMD_SOCKET_ERROR && IsConnectionRefused(check.lastError)
                          ? Tcp::Refused
                          : Tcp::Unreachable;
        return check;
    }
    uint8_t request[FRAME_SIZE];
    uint8_t reply[FRAME_SIZE];
    CommandChannel::BuildRequestHeader(request, "frst", 0);
    size_t received = 0;
    check.result = channel.Exchange(request, HEADER_SIZE, reply, &received);
    check.lastError = channel.LastError();
    channel.Close();
    if (check.result == CMD_TIMEOUT)
        check.state = Tcp::Silent;
    else if (check.result != CMD_OK || received < 4)
        // a drive answers with a 4-byte status or an "erro" reply before it closes
        check.state = Tcp::NotAppliance;
    else
        check.state = Tcp::Answering;
    return check;
}

FreeAddress NetworkMeasurements::FindFree() {
    CommandChannel channel;
    FreeAddress free;
    free.adapter = channel.FindFreeAddress(free.address);
    return free;
}

FixResult NetworkMeasurements::Reconfigure(const std::string& address) {
    CommandChannel channel;
    channel.SetTarget(address);
    FixResult fix;
    fix.result = channel.ReconfigureAppliance();
    fix.lastError = channel.LastError();
    fix.newAddress = channel.FreeAddress();
    return fix;
}

void NetworkMeasurements::Settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMilliseconds));
}

} // namespace doctor
