// Echo probe and adapter tests against real hosts; the program refuses to run outside the lab.
#include "protocol/adapters.h"
#include "protocol/echo_probe.h"
#include "protocol/sockets.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char CLIENT_ADDRESS[] = "198.51.100.10";
const char CLIENT_MASK[] = "255.255.255.0";
const char CLIENT_GATEWAY[] = "198.51.100.1";

std::string Env(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

struct Expected {
    std::string address, mask, gateway;
};

// The client's interfaces as lab/net/up --client made them ($TOV_LAB_CLIENT, default "lan").
std::vector<Expected> ExpectedAdapters() {
    std::vector<Expected> list;
    std::istringstream names(Env("TOV_LAB_CLIENT", "lan"));
    std::string name;
    while (std::getline(names, name, ',')) {
        if (name == "lan")
            list.push_back({CLIENT_ADDRESS, CLIENT_MASK, CLIENT_GATEWAY});
        else if (name == "far")
            list.push_back({"203.0.113.10", "255.255.255.0", "0.0.0.0"});
        else
            list.push_back({"0.0.0.0", "0.0.0.0", "0.0.0.0"});
    }
    return list;
}

} // namespace

// In echo_probe_lab_guard_*.cpp.
std::string RoutedSourceAddress(const char* destination);

namespace {

// Both views must be the lab client's: the adapter list, and the source address that the
// sockets' own routes pick for a lab host. Under Wine the sockets are made by the wineserver, so
// the second proves that the server runs inside the lab too (binding the client's address would
// not: Wine turns that bind into one on the wildcard address).
bool InsideLab(std::string* why) {
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    size_t count = LoadAdapterTables(adapters, gateways);
    std::vector<Expected> expected = ExpectedAdapters();
    bool same = count == expected.size();
    std::string seen;
    for (size_t k = 0; k < count; ++k) {
        seen += std::string(k ? ", " : "") + adapters[k].address;
        same = same && expected[k].address == adapters[k].address;
    }
    if (!same) {
        *why = "the adapter list is not the lab client's (" + std::to_string(count) +
               " adapters: " + seen + ")";
        return false;
    }
    uint32_t error = 0;
    if (!SocketsStart(&error)) {
        *why = "the sockets did not start: " + std::to_string(error);
        return false;
    }
    std::string source = RoutedSourceAddress(Env("TOV_LAB_HOST", "198.51.100.20").c_str());
    SocketsRelease();
    if (source != CLIENT_ADDRESS) {
        *why = "the sockets would send from \"" + source + "\", not from " + CLIENT_ADDRESS;
        return false;
    }
    return true;
}

// An ICMP output counter of this namespace ("OutEchos" of /proc/net/snmp, or a key of
// /proc/net/snmp6), or -1 when it cannot be read.
long long Counter(bool ipv6) {
#ifdef _WIN32
    std::ifstream file(ipv6 ? "Z:\\proc\\net\\snmp6" : "Z:\\proc\\net\\snmp");
#else
    std::ifstream file(ipv6 ? "/proc/net/snmp6" : "/proc/net/snmp");
#endif
    std::string line;
    if (ipv6) {
        while (std::getline(file, line)) {
            std::istringstream fields(line);
            std::string key;
            long long value = -1;
            if (fields >> key >> value && key == "Icmp6OutEchos")
                return value;
        }
        return -1;
    }
    std::string names;
    while (std::getline(file, line)) {
        if (line.compare(0, 6, "Icmp: ") != 0)
            continue;
        if (names.empty()) {
            names = line;
            continue;
        }
        std::istringstream keys(names), values(line);
        std::string key, value;
        while (keys >> key && values >> value) {
            if (key == "OutEchos")
                return std::atoll(value.c_str());
        }
        return -1;
    }
    return -1;
}

// The probe with a wider wait, for answers that an emulator may deliver late.
class PatientProbe : public EchoProbe {
public:
    explicit PatientProbe(unsigned milliseconds) : milliseconds(milliseconds) {}

protected:
    unsigned WaitMilliseconds() const override { return milliseconds; }

private:
    unsigned milliseconds;
};

class EchoLab : public ::testing::Test {
protected:
    void SetUp() override {
        uint32_t error = 0;
        ASSERT_TRUE(SocketsStart(&error)) << error;
    }
    void TearDown() override { SocketsRelease(); }
};

TEST_F(EchoLab, AdapterTablesHoldTheClient) {
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    std::vector<Expected> expected = ExpectedAdapters();
    size_t count = LoadAdapterTables(adapters, gateways);
    ASSERT_EQ(count, expected.size());
    for (size_t k = 0; k < count; ++k) {
        EXPECT_EQ(adapters[k].address, expected[k].address) << k;
        EXPECT_EQ(adapters[k].mask, expected[k].mask) << k;
        EXPECT_EQ(gateways[k], expected[k].gateway) << k;
    }
    if (count < ADAPTER_SLOTS) {
        EXPECT_STREQ(adapters[count].address, "");
    }
    int lan = FirstAddressedAdapter(adapters, count);
    ASSERT_GE(lan, 0);
    EXPECT_EQ(DirectedBroadcastText(adapters[lan].address, adapters[lan].mask), "198.51.100.255");
    EXPECT_TRUE(OnLocalSubnet(adapters, count, "198.51.100.20"));
    bool far = false, bare = false;
    for (const Expected& e : expected) {
        far = far || e.address == "203.0.113.10";
        bare = bare || e.address == "0.0.0.0";
    }
    // an unaddressed adapter's mask 0.0.0.0 takes in every address
    EXPECT_EQ(OnLocalSubnet(adapters, count, "203.0.113.20"), far || bare);
    EXPECT_EQ(OnLocalSubnet(adapters, count, "192.0.2.1"), bare);
}

TEST_F(EchoLab, HostOnTheSubnetAnswers) {
    long long before = Counter(false);
    ASSERT_GE(before, 0) << "no ICMP counters";
    PatientProbe probe(2000);
    EXPECT_EQ(probe.Probe(Env("TOV_LAB_HOST", "198.51.100.20").c_str()), PROBE_ANSWERED);
    EXPECT_EQ(probe.Protocol(), ICMP_PROTOCOL_V4);
    EXPECT_EQ(Counter(false), before + 1);
}

TEST_F(EchoLab, HostAnswersWithinTheProductsWait) {
    // the neighbour is known by now; a lab host answers well inside 10 ms
    PatientProbe warm(2000);
    ASSERT_EQ(warm.Probe(Env("TOV_LAB_HOST", "198.51.100.20").c_str()), PROBE_ANSWERED);
    EchoProbe probe;
    int answered = 0;
    for (int i = 0; i < 5; ++i)
        answered += probe.Probe(Env("TOV_LAB_HOST", "198.51.100.20").c_str()) == PROBE_ANSWERED;
    EXPECT_GE(answered, 4);
}

TEST_F(EchoLab, FreeAddressGivesNoAnswer) {
    long long before = Counter(false);
    EchoProbe probe;
    EXPECT_EQ(probe.Probe(Env("TOV_LAB_FREE", "198.51.100.240").c_str()), PROBE_NO_ANSWER);
    // the request did leave
    EXPECT_EQ(Counter(false), before + 1);
}

TEST_F(EchoLab, UnresolvableTextFailsAndSendsNothing) {
    long long before4 = Counter(false), before6 = Counter(true);
    EchoProbe probe;
    EXPECT_EQ(probe.Probe(std::string(70, 'a').append(".invalid").c_str()), PROBE_FAILED);
    EXPECT_EQ(probe.Family(), 0);
    EXPECT_EQ(Counter(false), before4);
    EXPECT_EQ(Counter(true), before6);
}

TEST_F(EchoLab, Ipv6LoopbackAndLinkLocalHost) {
    long long before = Counter(true);
    ASSERT_GE(before, 0) << "no ICMPv6 counters";
    PatientProbe probe(2000);
    // the raw socket sees its own request on loopback
    int loopback = probe.Probe("::1");
#ifdef _WIN32
    if (loopback == PROBE_FAILED)
        GTEST_SKIP() << "no raw ICMPv6 socket here (Wine 8 refuses protocol 58 with 10043)";
#endif
    EXPECT_EQ(loopback, PROBE_ANSWERED);
    EXPECT_EQ(probe.Protocol(), ICMP_PROTOCOL_V6);
    std::string host = Env("TOV_LAB_HOST6", "");
    if (!host.empty()) {
        EXPECT_EQ(probe.Probe(host.c_str()), PROBE_ANSWERED) << host;
    }
    EXPECT_EQ(Counter(true), before + (host.empty() ? 1 : 2));
}

TEST_F(EchoLab, FreeAddressSearchSkipsTakenHosts) {
    // the script gave the lab host .250 and .249 as well
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    size_t count = LoadAdapterTables(adapters, gateways);
    // the search starts the sockets itself, per adapter
    SocketsRelease();
    PatientProbe patient(300);
    EchoAddressProbe probe(&patient);
    std::string address;
    int found = FindFreeHost(adapters, count, probe, &address);
    uint32_t error = 0;
    SocketsStart(&error);
    // the last adapter with a free host wins: the foreign one when the client has it
    std::vector<Expected> expected = ExpectedAdapters();
    int want = -1;
    for (size_t k = 0; k < expected.size(); ++k) {
        if (expected[k].address != "0.0.0.0")
            want = static_cast<int>(k);
    }
    EXPECT_EQ(found, want);
    if (want >= 0 && expected[want].address == CLIENT_ADDRESS) {
        EXPECT_EQ(address, Env("TOV_LAB_FIRST_FREE", "198.51.100.248"));
    } else {
        EXPECT_EQ(address, "203.0.113.250");
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string why;
    if (!InsideLab(&why)) {
        std::fprintf(stderr,
                     "echo_probe_lab_test: REFUSED: not inside the network lab's client "
                     "namespace: %s.\nRun it through protocol/echo_probe_lab_test.sh.\n",
                     why.c_str());
        return 1;
    }
    return RUN_ALL_TESTS();
}
