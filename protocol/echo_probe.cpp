// EchoProbe's portable half: the echo request, its checksums and how a wait becomes an answer.
#include "protocol/echo_probe.h"

#include "protocol/sockets.h"

#include <cstring>

uint32_t ChecksumAdd(uint32_t start, const uint8_t* data, size_t length) {
    uint32_t sum = start;
    size_t i = 0;
    for (; i + 1 < length; i += 2) {
        sum += static_cast<uint32_t>(data[i]) << 8 | data[i + 1];
        // folding as we go keeps the sum from wrapping on long inputs
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    if (i < length) {
        sum += static_cast<uint32_t>(data[i]) << 8;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum;
}

uint16_t ChecksumFinish(uint32_t sum) {
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum & 0xFFFF);
}

uint16_t InternetChecksum(const uint8_t* data, size_t length) {
    return ChecksumFinish(ChecksumAdd(0, data, length));
}

uint16_t Icmpv6Checksum(const uint8_t source[16], const uint8_t destination[16],
                        const uint8_t* message, size_t length) {
    uint8_t tail[8] = {static_cast<uint8_t>(length >> 24),
                       static_cast<uint8_t>(length >> 16),
                       static_cast<uint8_t>(length >> 8),
                       static_cast<uint8_t>(length),
                       0,
                       0,
                       0,
                       ICMP_PROTOCOL_V6};
    uint32_t sum = ChecksumAdd(0, source, 16);
    sum = ChecksumAdd(sum, destination, 16);
    sum = ChecksumAdd(sum, tail, sizeof tail);
    return ChecksumFinish(ChecksumAdd(sum, message, length));
}

void BuildEchoRequest(uint8_t* packet, bool ipv6, uint16_t identifier, uint16_t sequence) {
    std::memset(packet, 0, ECHO_PACKET_SIZE);
    packet[0] = ipv6 ? 128 : 8;
    packet[1] = 0;
    packet[4] = static_cast<uint8_t>(identifier);
    packet[5] = static_cast<uint8_t>(identifier >> 8);
    packet[6] = static_cast<uint8_t>(sequence);
    packet[7] = static_cast<uint8_t>(sequence >> 8);
    std::memset(packet + ECHO_HEADER_SIZE, ipv6 ? 0x23 : 0x45, ECHO_DATA_SIZE);
}

void SealEchoRequest(uint8_t* packet, const uint8_t* source, const uint8_t* destination) {
    packet[2] = 0;
    packet[3] = 0;
    uint16_t sum = packet[0] == 128 ? Icmpv6Checksum(source, destination, packet, ECHO_PACKET_SIZE)
                                    : InternetChecksum(packet, ECHO_PACKET_SIZE);
    // the sum was taken over big-endian words, so it goes back in the same order
    packet[2] = static_cast<uint8_t>(sum >> 8);
    packet[3] = static_cast<uint8_t>(sum);
}

int EchoResult(EchoWait wait, bool receiveCompleted) {
    switch (wait) {
    case EchoWait::Failed:
        return PROBE_FAILED;
    case EchoWait::TimedOut:
        return PROBE_NO_ANSWER;
    case EchoWait::Signalled:
        return receiveCompleted ? PROBE_ANSWERED : PROBE_NO_ANSWER;
    }
    return PROBE_FAILED;
}

EchoProbe::EchoProbe()
    : family(0), protocol(0), dataSize(ECHO_DATA_SIZE), receiveSize(ECHO_RECEIVE_SIZE) {}

bool EchoAddressProbe::Start() {
    uint32_t error = 0;
    return SocketsStart(&error);
}

void EchoAddressProbe::Release() { SocketsRelease(); }

int EchoAddressProbe::Probe(const std::string& address) { return prober->Probe(address.c_str()); }
