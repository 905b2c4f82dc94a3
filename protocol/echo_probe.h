// EchoProbe: one ICMP echo request and one short wait, to learn whether an address answers.
#pragma once

#include "protocol/discovery_rules.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int ICMP_PROTOCOL_V4 = 1;
constexpr int ICMP_PROTOCOL_V6 = 58;
constexpr size_t ECHO_HEADER_SIZE = 8;
constexpr size_t ECHO_DATA_SIZE = 32;
constexpr size_t ECHO_PACKET_SIZE = ECHO_HEADER_SIZE + ECHO_DATA_SIZE;
constexpr size_t ECHO_RECEIVE_SIZE = 65535;
constexpr unsigned ECHO_WAIT_MILLISECONDS = 10;

// The one's-complement sum of 16-bit big-endian words (RFC 1071), a final odd byte padded with
// zero; start carries an earlier partial sum. Not yet folded or complemented.
uint32_t ChecksumAdd(uint32_t start, const uint8_t* data, size_t length);
// Folds and complements a sum into the 16-bit Internet checksum.
uint16_t ChecksumFinish(uint32_t sum);
uint16_t InternetChecksum(const uint8_t* data, size_t length);
// The ICMPv6 checksum: the pseudo-header (source, destination, the message's 32-bit length,
// three zero bytes and next header 58) followed by the message.
uint16_t Icmpv6Checksum(const uint8_t source[16], const uint8_t destination[16],
                        const uint8_t* message, size_t length);

// Fills the 40-byte echo request: type 8 (IPv4) or 128 (IPv6), code 0, the identifier and the
// sequence little-endian, 32 bytes of 'E' (IPv4) or '#' (IPv6). The checksum stays 0.
void BuildEchoRequest(uint8_t* packet, bool ipv6, uint16_t identifier, uint16_t sequence);
// Writes the checksum into a built packet; IPv6 needs both addresses of the pseudo-header.
void SealEchoRequest(uint8_t* packet, const uint8_t* source, const uint8_t* destination);

// How the wait for the posted receive ended.
enum class EchoWait { Failed, TimedOut, Signalled };
// The probe's answer from the wait and from whether the receive completed successfully.
int EchoResult(EchoWait wait, bool receiveCompleted);

class EchoProbe {
public:
    EchoProbe();
    virtual ~EchoProbe() = default;

    // PROBE_NO_ANSWER, PROBE_ANSWERED or PROBE_FAILED. The caller has started the sockets.
    int Probe(const char* address);

    int Family() const { return family; }
    int Protocol() const { return protocol; }
    size_t DataSize() const { return dataSize; }
    size_t ReceiveSize() const { return receiveSize; }

protected:
    // How long the answer may take; tests in a slow emulator widen it, the product never does.
    virtual unsigned WaitMilliseconds() const { return ECHO_WAIT_MILLISECONDS; }

private:
    int family;   // of the latest resolved address; unspecified until then
    int protocol; // 1 or 58, from the family
    size_t dataSize;
    size_t receiveSize;
};

// The free-address search's probe: starts and releases the sockets around one adapter's probes.
class EchoAddressProbe : public AddressProbe {
public:
    // Probes with *prober when given (tests widen its wait), else with a probe of its own.
    explicit EchoAddressProbe(EchoProbe* prober = nullptr) : prober(prober ? prober : &own) {}
    EchoAddressProbe(const EchoAddressProbe&) = delete;
    EchoAddressProbe& operator=(const EchoAddressProbe&) = delete;

    bool Start() override;
    void Release() override;
    int Probe(const std::string& address) override;

private:
    EchoProbe own;
    EchoProbe* prober;
};
