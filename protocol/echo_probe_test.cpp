// Tests of the echo request, its checksums and how the probe's wait becomes its answer.
#include "protocol/echo_probe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Packet(const uint8_t* p) { return std::vector<uint8_t>(p, p + 40); }

const uint8_t LINK_LOCAL_1[16] = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
const uint8_t LINK_LOCAL_2[16] = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
const uint8_t DOC_10[16] = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10};
const uint8_t DOC_20[16] = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20};

TEST(Checksum, KnownVectors) {
    // the worked example of RFC 1071: the words sum to 0xddf2
    const uint8_t even[] = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
    EXPECT_EQ(InternetChecksum(even, sizeof even), 0x220d);
    // an odd final byte counts as the high half of a last word
    EXPECT_EQ(InternetChecksum(even, 7), 0x2304);
    EXPECT_EQ(InternetChecksum(even, 0), 0xffff);
    // carries out of the top are folded back: 0xffff + 0x0001 is 0x0001 in one's complement
    const uint8_t carry[] = {0xff, 0xff, 0x00, 0x01};
    EXPECT_EQ(InternetChecksum(carry, sizeof carry), 0xfffe);
    // a long run of 0xffff words never overflows the accumulator
    std::vector<uint8_t> ones(65536, 0xff);
    EXPECT_EQ(InternetChecksum(ones.data(), ones.size()), 0x0000);
}

TEST(EchoRequest, Ipv4PacketByteExact) {
    uint8_t p[40];
    std::memset(p, 0xAA, sizeof p);
    BuildEchoRequest(p, false, 0x1234, 0x5678);
    std::vector<uint8_t> expected = {8, 0, 0, 0, 0x34, 0x12, 0x78, 0x56};
    expected.insert(expected.end(), 32, 0x45);
    EXPECT_EQ(Packet(p), expected);

    SealEchoRequest(p, nullptr, nullptr);
    expected[2] = 0xf7;
    expected[3] = 0x42;
    EXPECT_EQ(Packet(p), expected);
    // a sealed message sums to zero, whatever was in the checksum field before
    EXPECT_EQ(InternetChecksum(p, 40), 0);
    p[2] = 0x11;
    SealEchoRequest(p, nullptr, nullptr);
    EXPECT_EQ(Packet(p), expected);
}

TEST(EchoRequest, Ipv6PacketAndPseudoHeader) {
    uint8_t p[40];
    BuildEchoRequest(p, true, 0x1234, 0x5678);
    std::vector<uint8_t> expected = {128, 0, 0, 0, 0x34, 0x12, 0x78, 0x56};
    expected.insert(expected.end(), 32, 0x23);
    EXPECT_EQ(Packet(p), expected);

    SealEchoRequest(p, LINK_LOCAL_1, LINK_LOCAL_2);
    EXPECT_EQ(p[2], 0xa3);
    EXPECT_EQ(p[3], 0xfd);
    EXPECT_EQ(Icmpv6Checksum(LINK_LOCAL_1, LINK_LOCAL_2, expected.data(), 40), 0xa3fd);
    // the addresses are part of the sum: other ends, another checksum
    SealEchoRequest(p, DOC_10, DOC_20);
    EXPECT_EQ(p[2], 0x45);
    EXPECT_EQ(p[3], 0x60);
    // the Linux kernel wrote 0xa100 into this very request sent from ::1 to ::1
    const uint8_t loopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(Icmpv6Checksum(loopback, loopback, expected.data(), 40), 0xa100);
    // source and destination swapped give the same sum (addition commutes), as receivers rely on
    EXPECT_EQ(Icmpv6Checksum(DOC_20, DOC_10, expected.data(), 40), 0x4560);
}

TEST(EchoRequest, IdentifierAndSequenceAreLittleEndianLowHalves) {
    uint8_t p[40];
    BuildEchoRequest(p, false, static_cast<uint16_t>(0x0001ABCDu),
                     static_cast<uint16_t>(0xFFFF0102u));
    EXPECT_EQ(p[4], 0xCD);
    EXPECT_EQ(p[5], 0xAB);
    EXPECT_EQ(p[6], 0x02);
    EXPECT_EQ(p[7], 0x01);
}

TEST(EchoResult, WaitOutcomes) {
    EXPECT_EQ(EchoResult(EchoWait::Failed, true), PROBE_FAILED);
    EXPECT_EQ(EchoResult(EchoWait::TimedOut, false), PROBE_NO_ANSWER);
    EXPECT_EQ(EchoResult(EchoWait::Signalled, true), PROBE_ANSWERED);
    // the event fired but the receive failed: nothing answered
    EXPECT_EQ(EchoResult(EchoWait::Signalled, false), PROBE_NO_ANSWER);
}

TEST(EchoProbe, SettingsBeforeAnyProbe) {
    EchoProbe probe;
    EXPECT_EQ(probe.Family(), 0);
    EXPECT_EQ(probe.DataSize(), 32u);
    EXPECT_EQ(probe.ReceiveSize(), 65535u);
}

#ifndef _WIN32
// A label longer than 63 characters fails inside the resolver before any query is made, and the
// probe gives up before its socket exists: nothing leaves this machine. Under Wine the same case
// runs in the network lab only.
TEST(EchoProbe, UnresolvableTextFailsBeforeAnySocket) {
    EchoProbe probe;
    EXPECT_EQ(probe.Probe(std::string(70, 'a').append(".invalid").c_str()), PROBE_FAILED);
    EXPECT_EQ(probe.Family(), 0);
}
#endif

} // namespace
