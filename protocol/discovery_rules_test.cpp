// Tests of discovery's rules: subnets and broadcasts, the requests, the "dsrt" reply, the search.
#include "protocol/discovery_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

AdapterEntry Adapter(const char* address, const char* mask) {
    AdapterEntry a{};
    std::strncpy(a.address, address, sizeof a.address - 1);
    std::strncpy(a.mask, mask, sizeof a.mask - 1);
    return a;
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string Le(uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

std::string Dsrt(uint32_t value, const std::string& body) {
    return "dsrt " + Le(value) + "\n" + body;
}

// A reply copied to the heap at its exact length, so that a read past it is caught by ASan.
struct Reply {
    explicit Reply(const std::string& text) : size(text.size()), data(new uint8_t[text.size()]) {
        std::memcpy(data.get(), text.data(), size);
    }
    size_t size;
    std::unique_ptr<uint8_t[]> data;
};

TEST(Octets, ReadLikeDecimalConversion) {
    EXPECT_EQ(ReadOctetValue("198"), 198);
    EXPECT_EQ(ReadOctetValue("  \t 42.7"), 42);
    EXPECT_EQ(ReadOctetValue("+7"), 7);
    EXPECT_EQ(ReadOctetValue("-3x"), -3);
    EXPECT_EQ(ReadOctetValue(".5"), 0);
    EXPECT_EQ(ReadOctetValue(""), 0);
    EXPECT_EQ(ReadOctetValue("abc"), 0);
    EXPECT_EQ(ReadOctetValue("99999999999999999999"), 0x7FFFFFFF);

    int o[4];
    ReadOctets("10. 20.x.40", o);
    EXPECT_EQ((std::vector<int>(o, o + 4)), (std::vector<int>{10, 20, 0, 40}));
    ReadOctets("1.2", o);
    EXPECT_EQ((std::vector<int>(o, o + 4)), (std::vector<int>{1, 2, 0, 0}));
    ReadOctets("", o);
    EXPECT_EQ((std::vector<int>(o, o + 4)), (std::vector<int>{0, 0, 0, 0}));
}

TEST(DirectedBroadcast, EachOctetOrInvertedMask) {
    EXPECT_EQ(DirectedBroadcastText("198.51.100.10", "255.255.255.0"), "198.51.100.255");
    EXPECT_EQ(DirectedBroadcastText("203.0.113.77", "255.255.255.192"), "203.0.113.127");
    EXPECT_EQ(DirectedBroadcastText("10.1.2.3", "255.0.0.0"), "10.255.255.255");
    EXPECT_EQ(DirectedBroadcastText("192.168.1.5", "255.255.255.255"), "192.168.1.5");
    EXPECT_EQ(DirectedBroadcastText("0.0.0.0", "0.0.0.0"), "255.255.255.255");
}

TEST(LocalSubnet, FourOctetMatchUnderEachMask) {
    AdapterEntry two[] = {Adapter("198.51.100.10", "255.255.255.0"),
                          Adapter("10.1.2.3", "255.255.0.0")};
    EXPECT_TRUE(OnLocalSubnet(two, 2, "198.51.100.200"));
    EXPECT_TRUE(OnLocalSubnet(two, 2, "10.1.99.1"));
    EXPECT_FALSE(OnLocalSubnet(two, 2, "203.0.113.20"));
    EXPECT_FALSE(OnLocalSubnet(two, 2, "198.51.101.10"));
    // only the adapters loaded count
    EXPECT_FALSE(OnLocalSubnet(two, 1, "10.1.99.1"));
    EXPECT_FALSE(OnLocalSubnet(two, 0, "198.51.100.10"));
    // octets are read leniently, as the adapter texts are
    EXPECT_TRUE(OnLocalSubnet(two, 2, " 198.51.100.x"));

    // an adapter without an address, mask "0.0.0.0", takes in every address
    AdapterEntry none[] = {Adapter("0.0.0.0", "0.0.0.0")};
    for (const char* address : {"203.0.113.20", "1.2.3.4", "255.255.255.255", "", "junk"})
        EXPECT_TRUE(OnLocalSubnet(none, 1, address)) << address;
}

TEST(Adapters, FirstAddressedAdapterSkipsUnaddressed) {
    AdapterEntry list[] = {Adapter("0.0.0.0", "0.0.0.0"), Adapter("0.0.0.0", "0.0.0.0"),
                           Adapter("198.51.100.10", "255.255.255.0"),
                           Adapter("203.0.113.5", "255.255.255.0")};
    EXPECT_EQ(FirstAddressedAdapter(list, 4), 2);
    EXPECT_EQ(FirstAddressedAdapter(list, 2), -1);
    EXPECT_EQ(FirstAddressedAdapter(list, 0), -1);
}

TEST(Requests, DiscoverIsFifteenBytes) {
    uint8_t buffer[FRAME_SIZE];
    std::memset(buffer, 0x5A, sizeof buffer);
    ASSERT_EQ(BuildDiscoverRequest(buffer, SCAN_UNICAST), DISCOVER_REQUEST_SIZE);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 16),
              Bytes(std::string("dscr \x01\0\0\0\n\x01\0\0\0\n\0", 16)));
    ASSERT_EQ(BuildDiscoverRequest(buffer, SCAN_BROADCAST), DISCOVER_REQUEST_SIZE);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 15),
              Bytes(std::string("dscr \x01\0\0\0\n\x02\0\0\0\n", 15)));
    BuildDiscoverRequest(buffer, 0x01020304);
    EXPECT_EQ(std::vector<uint8_t>(buffer + 10, buffer + 15), Bytes("\x04\x03\x02\x01\n"));
}

TEST(Requests, ReconfigureFieldsByteExact) {
    uint8_t buffer[FRAME_SIZE];
    size_t n = BuildReconfigureRequest(buffer, "203.0.113.20", "198.51.100.250", "255.255.255.0",
                                       "198.51.100.1");
    std::string expected = std::string("ipcf \x06\0\0\0\n", 10) +
                           "203.0.113.20\n\nstatic\n198.51.100.250\n255.255.255.0\n198.51.100.1\n";
    ASSERT_EQ(n, expected.size());
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + n), Bytes(expected));
    EXPECT_EQ(buffer[n], 0);
    // an adapter without a gateway still sends six fields
    n = BuildReconfigureRequest(buffer, "203.0.113.20", "198.51.100.250", "255.255.255.0", "");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer) + n - 3, 3), "0\n\n");
    EXPECT_EQ(std::count(buffer + 10, buffer + n, '\n'), 6);
}

TEST(DsrtReply, ThreeLinesIntoARecord) {
    ApplianceRecord r;
    uint32_t lastError = 77;
    Reply full(Dsrt(3, "NAS1\n198.51.100.20\nShared Storage 1.0\n"));
    ASSERT_TRUE(ParseDiscoveryReply(full.data.get(), full.size, &r, &lastError));
    EXPECT_EQ(r.hostName, "NAS1");
    EXPECT_EQ(r.ipAddress, "198.51.100.20");
    EXPECT_EQ(r.detail, "Shared Storage 1.0");
    EXPECT_EQ(lastError, 77u);

    // the third line may run to the end of the data, and the record read ends there
    Reply open(Dsrt(3, "nas2\n198.51.100.21\nno final newline"));
    ASSERT_TRUE(ParseDiscoveryReply(open.data.get(), open.size, &r, &lastError));
    EXPECT_EQ(r.hostName, "nas2");
    EXPECT_EQ(r.detail, "no final newline");

    // an empty third line and text after it
    Reply empty(Dsrt(3, "n\n1.2.3.4\n\nignored\n"));
    ASSERT_TRUE(ParseDiscoveryReply(empty.data.get(), empty.size, &r, &lastError));
    EXPECT_EQ(r.detail, "");

    // the zero-filled receive buffer ends the text at the first zero byte
    Reply zero(Dsrt(3, std::string("n\n1.2.3.4\nab\0cd", 15)));
    ASSERT_TRUE(ParseDiscoveryReply(zero.data.get(), zero.size, &r, &lastError));
    EXPECT_EQ(r.detail, "ab");
}

TEST(DsrtReply, UnusableDsrtLeavesEverythingAlone) {
    ApplianceRecord r{"keep", "keep", "keep"};
    uint32_t lastError = 0x1234;
    for (const std::string& text :
         {Dsrt(2, "a\nb\nc\n"), Dsrt(4, "a\nb\nc\n"), Dsrt(0x103, "a\nb\nc\n"),
          std::string("dsrt") + "X" + Le(3) + "\na\nb\nc\n", std::string("dsrt"),
          Dsrt(3, "host only"), Dsrt(3, "host\naddress only"), Dsrt(3, "")}) {
        Reply reply(text);
        EXPECT_FALSE(ParseDiscoveryReply(reply.data.get(), reply.size, &r, &lastError)) << text;
        EXPECT_EQ(lastError, 0x1234u) << text;
        EXPECT_EQ(r.hostName, "keep");
    }
}

TEST(DsrtReply, OtherRepliesSetLastError) {
    ApplianceRecord r;
    uint32_t lastError = 0;
    Reply erro("erro " + Le(0x20000007) + "\n");
    EXPECT_FALSE(ParseDiscoveryReply(erro.data.get(), erro.size, &r, &lastError));
    EXPECT_EQ(lastError, 0x20000007u);
    // "erro" is known without its space; a cut code reads as the zero bytes that follow it
    Reply cut("erro?" + std::string("\x05\x01", 2));
    EXPECT_FALSE(ParseDiscoveryReply(cut.data.get(), cut.size, &r, &lastError));
    EXPECT_EQ(lastError, 0x0105u);
    Reply garbage("\x01\x02\x03\x04garbage");
    EXPECT_FALSE(ParseDiscoveryReply(garbage.data.get(), garbage.size, &r, &lastError));
    EXPECT_EQ(lastError, 0x04030201u);
    Reply shortOne("ab");
    EXPECT_FALSE(ParseDiscoveryReply(shortOne.data.get(), shortOne.size, &r, &lastError));
    EXPECT_EQ(lastError, 0x6261u);
    // "dsr" alone is not "dsrt"
    Reply dsr("dsr");
    EXPECT_FALSE(ParseDiscoveryReply(dsr.data.get(), dsr.size, &r, &lastError));
    EXPECT_EQ(lastError, 0x00727364u);
    EXPECT_FALSE(ParseDiscoveryReply(nullptr, 0, &r, &lastError));
    EXPECT_EQ(lastError, 0u);
}

TEST(DsrtReply, FullBufferWithoutTerminator) {
    // 4096 bytes of reply and no zero after them: the detail runs exactly to the end
    std::string head = Dsrt(3, "big\n198.51.100.30\n");
    std::string text = head + std::string(FRAME_SIZE - head.size(), 'd');
    ASSERT_EQ(text.size(), FRAME_SIZE);
    Reply reply(text);
    ApplianceRecord r;
    uint32_t lastError = 0;
    ASSERT_TRUE(ParseDiscoveryReply(reply.data.get(), reply.size, &r, &lastError));
    EXPECT_EQ(r.detail.size(), FRAME_SIZE - head.size());
    // and a host name that fills the whole buffer has no newline: unusable, nothing overread
    Reply name(Dsrt(3, std::string(FRAME_SIZE - 10, 'h')));
    EXPECT_FALSE(ParseDiscoveryReply(name.data.get(), name.size, &r, &lastError));
}

TEST(RecordTable, DuplicatesByExactHostName) {
    std::unique_ptr<ApplianceRecord[]> records(new ApplianceRecord[RECORD_SLOTS]);
    uint32_t count = 0;
    uint32_t lastError = 0;
    auto take = [&](const std::string& body) {
        Reply reply(Dsrt(3, body));
        return TakeDiscoveryReply(records.get(), &count, reply.data.get(), reply.size, &lastError);
    };
    EXPECT_EQ(take("NAS1\n198.51.100.20\nd\n"), ReplyOutcome::Added);
    EXPECT_EQ(take("NAS1\n198.51.100.99\nother\n"), ReplyOutcome::Duplicate);
    EXPECT_EQ(take("nas1\n198.51.100.21\nd\n"), ReplyOutcome::Added);
    EXPECT_EQ(take("NAS1 \n198.51.100.22\nd\n"), ReplyOutcome::Added);
    EXPECT_EQ(take("broken"), ReplyOutcome::Unusable);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(records[0].ipAddress, "198.51.100.20");
    EXPECT_EQ(records[1].hostName, "nas1");
    EXPECT_EQ(records[2].hostName, "NAS1 ");
    EXPECT_TRUE(HasHostName(records.get(), count, "nas1"));
    EXPECT_FALSE(HasHostName(records.get(), count, "NAS2"));
    EXPECT_FALSE(HasHostName(records.get(), 0, "NAS1"));
}

TEST(RecordTable, NeverPastItsSlots) {
    std::unique_ptr<ApplianceRecord[]> records(new ApplianceRecord[RECORD_SLOTS]);
    uint32_t count = 0;
    uint32_t lastError = 0;
    int added = 0, full = 0, duplicate = 0;
    for (int i = 0; i < 300; ++i) {
        Reply reply(Dsrt(3, "NAS" + std::to_string(i) + "\n198.51.100." + std::to_string(i % 250) +
                                "\nd\n"));
        switch (
            TakeDiscoveryReply(records.get(), &count, reply.data.get(), reply.size, &lastError)) {
        case ReplyOutcome::Added:
            ++added;
            break;
        case ReplyOutcome::TableFull:
            ++full;
            break;
        default:
            break;
        }
    }
    // a name already in the full table is still a duplicate, not a new one dropped
    Reply again(Dsrt(3, "NAS7\n198.51.100.7\nd\n"));
    if (TakeDiscoveryReply(records.get(), &count, again.data.get(), again.size, &lastError) ==
        ReplyOutcome::Duplicate)
        ++duplicate;
    EXPECT_EQ(added, 255);
    EXPECT_EQ(full, 45);
    EXPECT_EQ(duplicate, 1);
    EXPECT_EQ(count, RECORD_SLOTS);
    EXPECT_EQ(records[254].hostName, "NAS254");
}

// A probe whose answers are a table of addresses; everything else is free.
class FakeProbe : public AddressProbe {
public:
    bool Start() override {
        ++starts;
        return starts <= startsAllowed;
    }
    void Release() override { ++releases; }
    int Probe(const std::string& address) override {
        probed.push_back(address);
        auto it = answers.find(address);
        if (it != answers.end())
            return it->second;
        for (const std::string& prefix : takenSubnets) {
            if (address.compare(0, prefix.size(), prefix) == 0)
                return PROBE_ANSWERED;
        }
        return PROBE_NO_ANSWER;
    }
    int startsAllowed = 100;
    int starts = 0;
    int releases = 0;
    std::map<std::string, int> answers;
    std::vector<std::string> takenSubnets;
    std::vector<std::string> probed;
};

TEST(FreeAddress, FromTwoHundredFiftyDownSkippingTakenHosts) {
    AdapterEntry one[] = {Adapter("198.51.100.10", "255.255.255.0")};
    FakeProbe probe;
    probe.answers["198.51.100.250"] = PROBE_ANSWERED;
    probe.answers["198.51.100.249"] = PROBE_ANSWERED;
    std::string address = "unchanged";
    EXPECT_EQ(FindFreeHost(one, 1, probe, &address), 0);
    EXPECT_EQ(address, "198.51.100.248");
    EXPECT_EQ(probe.probed,
              (std::vector<std::string>{"198.51.100.250", "198.51.100.249", "198.51.100.248"}));
    EXPECT_EQ(probe.starts, 1);
    EXPECT_EQ(probe.releases, 1);
}

TEST(FreeAddress, EveryHostAnsweringGivesNone) {
    AdapterEntry one[] = {Adapter("198.51.100.10", "255.255.255.0")};
    FakeProbe probe;
    probe.takenSubnets = {"198.51.100."};
    std::string address = "unchanged";
    EXPECT_EQ(FindFreeHost(one, 1, probe, &address), -1);
    EXPECT_EQ(address, "unchanged");
    ASSERT_EQ(probe.probed.size(), 249u);
    EXPECT_EQ(probe.probed.front(), "198.51.100.250");
    EXPECT_EQ(probe.probed.back(), "198.51.100.2");
    EXPECT_EQ(probe.releases, 1);
}

TEST(FreeAddress, LastAdapterWithAFreeHostWins) {
    AdapterEntry three[] = {Adapter("198.51.100.10", "255.255.255.0"),
                            Adapter("0.0.0.0", "0.0.0.0"), Adapter("10.0.0.7", "255.0.0.0"),
                            Adapter("172.16.5.9", "255.255.0.0")};
    FakeProbe probe;
    // the unaddressed adapter is searched too; its probes fail to run at once
    probe.answers["0.0.0.250"] = PROBE_FAILED;
    probe.takenSubnets = {"172.16.5."};
    std::string address;
    EXPECT_EQ(FindFreeHost(three, 4, probe, &address), 2);
    EXPECT_EQ(address, "10.0.0.250");
    EXPECT_EQ(probe.probed[1], "0.0.0.250");
    EXPECT_EQ(probe.probed[2], "10.0.0.250");
    EXPECT_EQ(probe.probed.size(), 3u + 249u);
    EXPECT_EQ(probe.starts, 4);
    EXPECT_EQ(probe.releases, 4);
}

TEST(FreeAddress, FailedProbeGivesUpOnlyThatAdapter) {
    AdapterEntry two[] = {Adapter("198.51.100.10", "255.255.255.0"),
                          Adapter("203.0.113.10", "255.255.255.0")};
    FakeProbe probe;
    probe.answers["198.51.100.250"] = PROBE_ANSWERED;
    probe.answers["198.51.100.249"] = PROBE_FAILED;
    probe.takenSubnets = {"203.0.113."};
    std::string address = "unchanged";
    EXPECT_EQ(FindFreeHost(two, 2, probe, &address), -1);
    EXPECT_EQ(address, "unchanged");
    EXPECT_EQ(probe.probed.size(), 2u + 249u);
}

TEST(FreeAddress, FailedStartStopsTheWholeSearch) {
    AdapterEntry two[] = {Adapter("198.51.100.10", "255.255.255.0"),
                          Adapter("203.0.113.10", "255.255.255.0")};
    FakeProbe probe;
    probe.startsAllowed = 1;
    std::string address;
    // the first adapter's find stands; the second is never probed nor released
    EXPECT_EQ(FindFreeHost(two, 2, probe, &address), 0);
    EXPECT_EQ(address, "198.51.100.250");
    EXPECT_EQ(probe.starts, 2);
    EXPECT_EQ(probe.releases, 1);
    EXPECT_EQ(probe.probed.size(), 1u);

    FakeProbe never;
    never.startsAllowed = 0;
    EXPECT_EQ(FindFreeHost(two, 2, never, &address), -1);
    EXPECT_TRUE(never.probed.empty());
    EXPECT_EQ(never.releases, 0);
}

} // namespace
