// Discovery and reconfiguration paths that send nothing: adapter checks, subnet test, free-address
// search over a fake probe.
#include "protocol/channel.h"
#include "protocol/discovery_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct FakeAdapter {
    const char* address;
    const char* mask;
    const char* gateway;
};

class CountingSink : public ApplianceSink {
public:
    void ApplianceFound(const ApplianceRecord& record) override { found.push_back(record); }
    std::vector<ApplianceRecord> found;
};

// Answers the probes from a list of taken addresses; records every address probed.
class FakeProbe : public AddressProbe {
public:
    FakeProbe(std::vector<std::string> taken, std::vector<std::string>* probed,
              std::string failAt = "", bool startFails = false)
        : taken(std::move(taken)), probed(probed), failAt(std::move(failAt)),
          startFails(startFails) {}
    bool Start() override { return !startFails; }
    void Release() override {}
    int Probe(const std::string& address) override {
        probed->push_back(address);
        if (address == failAt)
            return PROBE_FAILED;
        for (const std::string& t : taken)
            if (t == address)
                return PROBE_ANSWERED;
        return PROBE_NO_ANSWER;
    }

private:
    std::vector<std::string> taken;
    std::vector<std::string>* probed;
    std::string failAt;
    bool startFails;
};

// A channel over a fake adapter list and a fake probe; it counts the listeners it starts.
class FakeNetChannel : public CommandChannel {
public:
    explicit FakeNetChannel(std::vector<FakeAdapter> list) : list(std::move(list)) {}

    std::vector<std::string> taken;
    std::vector<std::string> probed;
    std::string failAt;
    bool startFails = false;
    int listeners = 0;
    int adapterQueries = 0;

protected:
    size_t QueryAdapters(AdapterEntry (&entries)[ADAPTER_SLOTS],
                         char (&gatewayList)[ADAPTER_SLOTS][16]) override {
        ++adapterQueries;
        std::memset(entries, 0, sizeof entries);
        std::memset(gatewayList, 0, sizeof gatewayList);
        size_t k = 0;
        for (const FakeAdapter& a : list) {
            if (k == ADAPTER_SLOTS)
                break;
            std::strcpy(entries[k].address, a.address);
            std::strcpy(entries[k].mask, a.mask);
            std::strcpy(gatewayList[k], a.gateway);
            ++k;
        }
        return k;
    }
    std::unique_ptr<AddressProbe> MakeAddressProbe() override {
        return std::unique_ptr<AddressProbe>(new FakeProbe(taken, &probed, failAt, startFails));
    }
    void ListenerStarted() override { ++listeners; }

private:
    std::vector<FakeAdapter> list;
};

const FakeAdapter NO_ADDRESS = {"0.0.0.0", "0.0.0.0", "0.0.0.0"};
const FakeAdapter LAN = {"198.51.100.10", "255.255.255.0", "198.51.100.1"};
const FakeAdapter FAR = {"203.0.113.10", "255.255.255.0", "0.0.0.0"};

TEST(DiscoveryTest, OnlyUnaddressedAdaptersEndBothScansAtOnce) {
    for (uint32_t mode : {SCAN_UNICAST, SCAN_BROADCAST}) {
        FakeNetChannel channel({NO_ADDRESS, NO_ADDRESS});
        CountingSink sink;
        channel.SetNotifyWindow(&sink);
        EXPECT_EQ(channel.Discover(mode), CMD_NO_ADAPTER) << "mode " << mode;
        EXPECT_EQ(channel.RecordCount(), 0u);
        EXPECT_TRUE(sink.found.empty());
        EXPECT_EQ(channel.listeners, 0) << "no listener may start";
        EXPECT_STREQ(channel.LastCommand(), "dscr");
    }
    FakeNetChannel none({});
    EXPECT_EQ(none.Discover(SCAN_BROADCAST), CMD_NO_ADAPTER);
}

TEST(DiscoveryTest, SubnetTestOverTheLoadedAdapters) {
    FakeNetChannel open({NO_ADDRESS});
    for (const char* address : {"198.51.100.20", "203.0.113.20", "10.1.2.3", "garbage"})
        EXPECT_TRUE(open.IsOnLocalSubnet(address)) << address;

    FakeNetChannel two({LAN, FAR});
    EXPECT_TRUE(two.IsOnLocalSubnet("198.51.100.250"));
    EXPECT_TRUE(two.IsOnLocalSubnet("203.0.113.20"));
    EXPECT_FALSE(two.IsOnLocalSubnet("198.51.101.20"));
    EXPECT_GE(two.adapterQueries, 3) << "the adapters are loaded for every question";

    FakeNetChannel lan({LAN});
    EXPECT_FALSE(lan.IsOnLocalSubnet("203.0.113.20"));
}

TEST(DiscoveryTest, FreeAddressSearchGoesDownFrom250SkippingTakenOnes) {
    FakeNetChannel channel({LAN});
    channel.taken = {"198.51.100.250", "198.51.100.249"};
    std::string free;
    EXPECT_EQ(channel.FindFreeAddress(free), 0);
    EXPECT_EQ(free, "198.51.100.248");
    EXPECT_EQ(channel.probed,
              (std::vector<std::string>{"198.51.100.250", "198.51.100.249", "198.51.100.248"}));

    // Every host from .250 to .2 answers: nothing is free, and nothing is sent.
    FakeNetChannel full({LAN});
    for (int host = 250; host >= 2; --host)
        full.taken.push_back("198.51.100." + std::to_string(host));
    std::string none = "unchanged";
    EXPECT_EQ(full.FindFreeAddress(none), -1);
    EXPECT_EQ(none, "unchanged");
    EXPECT_EQ(full.probed.size(), 249u);
    full.SetTarget("203.0.113.20");
    EXPECT_EQ(full.ReconfigureAppliance(), CMD_NO_ADAPTER);
    EXPECT_STREQ(full.LastCommand(), "") << "no \"ipcf\" was built";
    EXPECT_EQ(full.listeners, 0);
    EXPECT_EQ(full.FreeAddress(), "");
}

TEST(DiscoveryTest, FreeAddressOfTheLastAdapterThatHasOne) {
    FakeNetChannel channel({LAN, NO_ADDRESS, FAR});
    std::string free;
    // The "0.0.0.0" adapter takes part too: its candidates are 0.0.0.250 and below.
    EXPECT_EQ(channel.FindFreeAddress(free), 2);
    EXPECT_EQ(free, "203.0.113.250");
    EXPECT_EQ(channel.probed,
              (std::vector<std::string>{"198.51.100.250", "0.0.0.250", "203.0.113.250"}));

    // A probe that cannot run gives up that adapter only; a start that fails ends the search.
    FakeNetChannel failing({LAN, FAR});
    failing.failAt = "203.0.113.250";
    EXPECT_EQ(failing.FindFreeAddress(free), 0);
    EXPECT_EQ(free, "198.51.100.250");
    FakeNetChannel unstarted({LAN});
    unstarted.startFails = true;
    EXPECT_EQ(unstarted.FindFreeAddress(free), -1);
    EXPECT_TRUE(unstarted.probed.empty());
}

TEST(DiscoveryTest, ParsedRepliesStayInsideTheTable) {
    CommandChannel channel;
    const char dsrt[] = "dsrt \x03\x00\x00\x00\nNAS\n198.51.100.20\nSomething";
    const uint8_t* reply = reinterpret_cast<const uint8_t*>(dsrt);
    EXPECT_EQ(channel.ParseFoundReply(reply, sizeof dsrt - 1), 1);
    EXPECT_EQ(channel.RecordCount(), 0u) << "parsing alone adds nothing";
    EXPECT_EQ(channel.Record(0).hostName, "NAS");
    EXPECT_EQ(channel.Record(0).ipAddress, "198.51.100.20");
    EXPECT_EQ(channel.Record(0).detail, "Something");

    const char erro[] = "erro \x07\x00\x00\x20\n";
    EXPECT_EQ(channel.ParseFoundReply(reinterpret_cast<const uint8_t*>(erro), sizeof erro - 1), 0);
    EXPECT_EQ(channel.LastError(), 0x20000007u);
    const char other[] = "ABCDxyz";
    EXPECT_EQ(channel.ParseFoundReply(reinterpret_cast<const uint8_t*>(other), 7), 0);
    EXPECT_EQ(channel.LastError(), 0x44434241u);
}

} // namespace
