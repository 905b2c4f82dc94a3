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

namespace {

const char CLIENT_ADDRESS[] = "198.51.100.10";
const char CLIENT_MASK[] = "255.255.255.0";
const char CLIENT_GATEWAY[] = "198.51.100.1";

std::string Env(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
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
    if (count != 1 || std::strcmp(adapters[0].address, CLIENT_ADDRESS) != 0) {
        *why = "the adapter list is not the lab client's (" + std::to_string(count) +
               " adapters, the first " + (count ? adapters[0].address : "none") + ")";
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
    ASSERT_EQ(LoadAdapterTables(adapters, gateways), 1u);
    EXPECT_STREQ(adapters[0].address, CLIENT_ADDRESS);
    EXPECT_STREQ(adapters[0].mask, CLIENT_MASK);
    EXPECT_STREQ(gateways[0], CLIENT_GATEWAY);
    EXPECT_STREQ(adapters[1].address, "");
    EXPECT_TRUE(OnLocalSubnet(adapters, 1, "198.51.100.20"));
    EXPECT_FALSE(OnLocalSubnet(adapters, 1, "203.0.113.20"));
    EXPECT_EQ(DirectedBroadcastText(adapters[0].address, adapters[0].mask), "198.51.100.255");
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
    EXPECT_EQ(FindFreeHost(adapters, count, probe, &address), 0);
    EXPECT_EQ(address, Env("TOV_LAB_FIRST_FREE", "198.51.100.248"));
    uint32_t error = 0;
    SocketsStart(&error);
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
