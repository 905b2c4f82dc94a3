// Discovery and reconfiguration against simulated appliances in the network lab, natively and
// under Wine; the program refuses to run anywhere but in the lab's client namespace.
#include "protocol/adapters.h"
#include "protocol/channel.h"
#include "protocol/discovery_rules.h"
#include "protocol/sockets.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// In echo_probe_lab_guard_*.cpp.
std::string RoutedSourceAddress(const char* destination);
// In discovery_lab_signal_*.cpp: false where the event is not shared by name.
bool StartForeignDoneSignals();
void StopForeignDoneSignals();

namespace {

bool IsLabAddress(const char* text) {
    return std::strncmp(text, "198.51.100.", 11) == 0 || std::strncmp(text, "203.0.113.", 10) == 0;
}

// Every adapter with an address must be a lab one, and the sockets must route from one: under
// Wine the sockets and the adapter list are the wineserver's, so this also proves where it runs.
bool InsideLab(std::string* why) {
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    size_t count = LoadAdapterTables(adapters, gateways);
    bool addressed = false;
    for (size_t k = 0; k < count; ++k) {
        if (std::strcmp(adapters[k].address, "0.0.0.0") == 0)
            continue;
        addressed = true;
        if (!IsLabAddress(adapters[k].address)) {
            *why = std::string("adapter ") + adapters[k].address + " is not the lab's";
            return false;
        }
    }
    if (!addressed)
        return true; // nothing can be sent anywhere
    uint32_t error = 0;
    if (!SocketsStart(&error)) {
        *why = "the sockets did not start";
        return false;
    }
    std::string source = RoutedSourceAddress("198.51.100.20");
    SocketsRelease();
    if (!IsLabAddress(source.c_str())) {
        *why = "the sockets would send from \"" + source + "\"";
        return false;
    }
    return true;
}

// The folder of one lab host's simulator state, as this program opens it.
std::string HostFile(const std::string& host, const std::string& name) {
    const char* dir = std::getenv("TOV_DISCO_HOSTS");
    std::string base = dir ? dir : "";
#ifdef _WIN32
    base = "Z:" + base;
#endif
    return base + "/" + host + "/appliance/" + name;
}

void WriteHostFile(const std::string& host, const std::string& name, const std::string& text) {
    std::ofstream out(HostFile(host, name), std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::string> HostLines(const std::string& host, const std::string& name) {
    std::ifstream in(HostFile(host, name), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

const char* const HOSTS[] = {"nas1", "nas2", "nas3", "far1"};

// Every host back to plain answers, with empty journals.
void ResetHosts() {
    for (const char* h : HOSTS) {
        WriteHostFile(h, "faults", "");
        WriteHostFile(h, "settings", "");
        WriteHostFile(h, "udp-journal", "");
    }
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Collects the records posted, from whichever thread posts them.
class RecordingSink : public ApplianceSink {
public:
    void ApplianceFound(const ApplianceRecord& record) override {
        std::lock_guard<std::mutex> hold(lock);
        found.push_back(record);
        threads.push_back(std::this_thread::get_id());
    }
    std::mutex lock;
    std::vector<ApplianceRecord> found;
    std::vector<std::thread::id> threads;
};

// A channel that tells what its listeners do, and can hold the first one up.
class LabChannel : public CommandChannel {
public:
    uint32_t waitMilliseconds = LISTENER_WAIT_MILLISECONDS;
    unsigned firstDelayMs = 0;

    std::mutex lock;
    int started = 0;
    int ended = 0;
    std::vector<int> endedBeforeStart; // listeners ended when each one started
    std::vector<std::thread::id> listenerThreads;

protected:
    uint32_t ListenerWaitMilliseconds(uint32_t) const override { return waitMilliseconds; }
    void ListenerStarted() override {
        std::lock_guard<std::mutex> hold(lock);
        endedBeforeStart.push_back(ended);
        listenerThreads.push_back(std::this_thread::get_id());
        ++started;
    }
    void ListenerReceived() override {
        bool delay;
        {
            std::lock_guard<std::mutex> hold(lock);
            delay = started == 1 && firstDelayMs > 0 && !delayed;
            delayed = delayed || delay;
        }
        // Holds the first listener past the pass's wait, as a slow machine might.
        if (delay)
            std::this_thread::sleep_for(std::chrono::milliseconds(firstDelayMs));
    }
    void ListenerEnded() override {
        std::lock_guard<std::mutex> hold(lock);
        ++ended;
    }

private:
    bool delayed = false;
};

std::map<std::string, std::string> Found(const CommandChannel& channel) {
    std::map<std::string, std::string> names;
    for (uint32_t i = 0; i < channel.RecordCount(); ++i)
        names[channel.Record(i).hostName] = channel.Record(i).ipAddress;
    return names;
}

const char DSCR_MODE1[] = "6473637220010000000a010000000a";
const char DSCR_MODE2[] = "6473637220010000000a020000000a";

class Lan : public ::testing::Test {
protected:
    void SetUp() override { ResetHosts(); }
};

TEST_F(Lan, UnicastFindsTheClientSubnetOnceEach) {
    LabChannel channel;
    RecordingSink sink;
    channel.SetNotifyWindow(&sink);
    EXPECT_EQ(channel.Discover(SCAN_UNICAST), CMD_TIMEOUT);
    std::map<std::string, std::string> expected = {{"TOV-100-20", "198.51.100.20"},
                                                   {"TOV-100-21", "198.51.100.21"},
                                                   {"TOV-100-22", "198.51.100.22"}};
    EXPECT_EQ(Found(channel), expected);
    ASSERT_EQ(sink.found.size(), channel.RecordCount());
    for (uint32_t i = 0; i < channel.RecordCount(); ++i) {
        EXPECT_EQ(sink.found[i].hostName, channel.Record(i).hostName);
        EXPECT_EQ(sink.found[i].detail, "Shared Storage drive");
    }
    EXPECT_EQ(channel.started, 0) << "the unicast scan takes its replies on its own socket";
    // Two passes, each the 15-byte request to the subnet's directed broadcast.
    std::vector<std::string> journal = HostLines("nas1", "udp-journal");
    ASSERT_EQ(journal.size(), 2u);
    for (const std::string& line : journal) {
        EXPECT_EQ(line.substr(0, 14), "198.51.100.10:") << line;
        EXPECT_NE(line.find(std::string(" 198.51.100.255 ") + DSCR_MODE1), std::string::npos)
            << line;
    }
    EXPECT_TRUE(HostLines("far1", "udp-journal").empty()) << "directed broadcasts stay home";
}

TEST_F(Lan, SameHostNameGivesOneRecordAndOtherCaseAnother) {
    WriteHostFile("nas1", "faults", "dscr twice\n");
    WriteHostFile("nas2", "settings", "hostname=TOV-100-20\n");
    WriteHostFile("nas3", "settings", "hostname=tov-100-20\n");
    for (uint32_t mode : {SCAN_UNICAST, SCAN_BROADCAST}) {
        CommandChannel channel;
        RecordingSink sink;
        channel.SetNotifyWindow(&sink);
        channel.Discover(mode);
        std::set<std::string> names;
        for (const ApplianceRecord& r : sink.found)
            names.insert(r.hostName);
        std::set<std::string> expected = {"TOV-100-20", "tov-100-20"};
        if (mode == SCAN_BROADCAST)
            expected.insert("TOV-113-20");
        EXPECT_EQ(names, expected) << "mode " << mode;
        EXPECT_EQ(sink.found.size(), expected.size()) << "one message per record, mode " << mode;
        EXPECT_EQ(channel.RecordCount(), expected.size());
    }
}

TEST_F(Lan, UnusableAnswersAreSkipped) {
    WriteHostFile("nas1", "faults", "dscr value 4\n");
    WriteHostFile("nas2", "faults", "dscr erro 0x20000007\n");
    WriteHostFile("nas3", "faults", "dscr open\n");
    WriteHostFile("far1", "faults", "dscr garbage 16\n");
    WriteHostFile("nas3", "settings", "detail=no final newline\n");
    for (uint32_t mode : {SCAN_UNICAST, SCAN_BROADCAST}) {
        CommandChannel channel;
        RecordingSink sink;
        channel.SetNotifyWindow(&sink);
        channel.Discover(mode);
        ASSERT_EQ(channel.RecordCount(), 1u) << "mode " << mode;
        EXPECT_EQ(channel.Record(0).hostName, "TOV-100-22");
        EXPECT_EQ(channel.Record(0).ipAddress, "198.51.100.22");
        EXPECT_EQ(channel.Record(0).detail, "no final newline");
        EXPECT_EQ(sink.found.size(), 1u);
    }
}

TEST_F(Lan, NoMoreThan255RecordsHoweverManyAnswer) {
    WriteHostFile("nas1", "faults", "dscr many 300\n");
    for (uint32_t mode : {SCAN_UNICAST, SCAN_BROADCAST}) {
        CommandChannel channel;
        RecordingSink sink;
        channel.SetNotifyWindow(&sink);
        channel.Discover(mode);
        EXPECT_EQ(channel.RecordCount(), RECORD_SLOTS) << "mode " << mode;
        EXPECT_EQ(sink.found.size(), RECORD_SLOTS);
        std::set<std::string> names;
        for (const ApplianceRecord& r : sink.found)
            names.insert(r.hostName);
        EXPECT_EQ(names.size(), RECORD_SLOTS) << "each posted once";
    }
}

TEST_F(Lan, BroadcastScanFindsTheForeignAppliance) {
    LabChannel channel;
    RecordingSink sink;
    channel.SetNotifyWindow(&sink);
    EXPECT_EQ(channel.Discover(SCAN_BROADCAST), CMD_OK);
    std::map<std::string, std::string> found = Found(channel);
    EXPECT_EQ(found["TOV-113-20"], "203.0.113.20");
    EXPECT_EQ(found["TOV-100-20"], "198.51.100.20");
    EXPECT_EQ(found.size(), 4u);
    EXPECT_EQ(sink.found.size(), 4u);
    EXPECT_EQ(channel.started, 2);
    EXPECT_EQ(channel.ended, 2);
    EXPECT_EQ(channel.endedBeforeStart, (std::vector<int>{0, 1}));
    std::vector<std::string> journal = HostLines("far1", "udp-journal");
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_NE(journal[0].find(std::string(" 255.255.255.255 ") + DSCR_MODE2), std::string::npos)
        << journal[0];
}

TEST_F(Lan, ListenerThatCannotBindEndsThePassAtOnce) {
    // A socket that holds port 4302 for itself.
    uint32_t error = 0;
    ASSERT_TRUE(SocketsStart(&error));
    SocketHandle holder = SocketCreate(IP_PROTOCOL_UDP);
    ASSERT_NE(holder, INVALID_SOCKET_HANDLE);
    ASSERT_TRUE(SocketBind(holder, 0, REPLY_PORT));
    LabChannel channel;
    RecordingSink sink;
    channel.SetNotifyWindow(&sink);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(channel.Discover(SCAN_BROADCAST), CMD_OK);
    auto took = std::chrono::steady_clock::now() - start;
    SocketClose(holder);
    SocketsRelease();
    EXPECT_EQ(channel.RecordCount(), 0u);
    EXPECT_TRUE(sink.found.empty());
    EXPECT_EQ(channel.LastError(), 0u);
    EXPECT_EQ(channel.ended, 2);
    // A listener that had bound would have listened for at least its quiet time.
    EXPECT_LT(took, std::chrono::seconds(QUIET_SECONDS));
}

TEST_F(Lan, AListenerGivenUpTakesNothingAndEndsBeforeItsChannel) {
    // Late answers: the given-up listener's signal, still set when the second pass begins, must
    // not end that pass before they come.
    for (const char* h : HOSTS)
        WriteHostFile(h, "faults", "dscr delay 100\n");
    RecordingSink sink;
    std::vector<std::thread::id> listeners;
    {
        LabChannel channel;
        channel.SetNotifyWindow(&sink);
        channel.waitMilliseconds = 300;
        channel.firstDelayMs = 1500;
        EXPECT_EQ(channel.Discover(SCAN_BROADCAST), CMD_OK);
        std::lock_guard<std::mutex> hold(channel.lock);
        EXPECT_EQ(channel.started, 2);
        EXPECT_EQ(channel.ended, 2) << "every listener has ended when the scan returns";
        EXPECT_EQ(channel.endedBeforeStart, (std::vector<int>{0, 1}))
            << "the second pass starts after the first listener has ended";
        listeners = channel.listenerThreads;
        EXPECT_EQ(channel.RecordCount(), 4u);
    }
    std::lock_guard<std::mutex> hold(sink.lock);
    EXPECT_EQ(sink.found.size(), 4u);
    ASSERT_EQ(listeners.size(), 2u);
    for (std::thread::id t : sink.threads)
        EXPECT_EQ(t, listeners[1]) << "the given-up listener posted";
}

TEST_F(Lan, SignalsOfOtherUsersOfTheEventDoNotEndThePass) {
    if (!StartForeignDoneSignals())
        GTEST_SKIP() << "the event is shared by name only on Windows";
    for (const char* h : HOSTS)
        WriteHostFile(h, "faults", "dscr delay 300\n");
    CommandChannel channel;
    uint32_t result = channel.Discover(SCAN_BROADCAST);
    StopForeignDoneSignals();
    EXPECT_EQ(result, CMD_OK);
    EXPECT_EQ(channel.RecordCount(), 4u);
}

class TwoAdapters : public ::testing::Test {
protected:
    void SetUp() override { ResetHosts(); }
};

TEST_F(TwoAdapters, UnicastUsesTheFirstAddressedAdapterOnly) {
    CommandChannel channel;
    ASSERT_EQ(channel.LoadAdapters(), 2u);
    EXPECT_STREQ(channel.Adapter(0).address, "198.51.100.10");
    EXPECT_STREQ(channel.Adapter(1).address, "203.0.113.10");
    EXPECT_TRUE(channel.IsOnLocalSubnet("203.0.113.20"));
    channel.Discover(SCAN_UNICAST);
    std::map<std::string, std::string> expected = {{"TOV-100-20", "198.51.100.20"}};
    EXPECT_EQ(Found(channel), expected);
    EXPECT_TRUE(HostLines("far1", "udp-journal").empty());

    CommandChannel broadcast;
    broadcast.Discover(SCAN_BROADCAST);
    expected["TOV-113-20"] = "203.0.113.20";
    EXPECT_EQ(Found(broadcast), expected);
}

TEST(NoAddress, BothScansReturn3AtOnceAndSendNothing) {
    WriteHostFile("nas1", "udp-journal", "");
    for (uint32_t mode : {SCAN_UNICAST, SCAN_BROADCAST}) {
        LabChannel channel;
        RecordingSink sink;
        channel.SetNotifyWindow(&sink);
        size_t count = channel.LoadAdapters();
        for (size_t k = 0; k < count; ++k)
            EXPECT_STREQ(channel.Adapter(k).address, "0.0.0.0");
        EXPECT_EQ(channel.Discover(mode), CMD_NO_ADAPTER);
        EXPECT_EQ(channel.RecordCount(), 0u);
        EXPECT_TRUE(sink.found.empty());
        EXPECT_EQ(channel.started, 0);
    }
    EXPECT_TRUE(HostLines("nas1", "udp-journal").empty());
}

class Reconfigure : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* h : {"nas1", "far1"}) {
            WriteHostFile(h, "faults", "");
            WriteHostFile(h, "udp-journal", "");
        }
    }
};

TEST_F(Reconfigure, ErroAndUnrecognisedAnswersGive1) {
    struct Case {
        const char* fault;
        uint32_t lastError;
    } cases[] = {{"ipcf erro 0x20000009\n", 0x20000009}, {"ipcf reply 41424344\n", 0x44434241}};
    for (const Case& c : cases) {
        WriteHostFile("far1", "faults", c.fault);
        CommandChannel channel;
        channel.SetTarget("203.0.113.20");
        EXPECT_EQ(channel.ReconfigureAppliance(), 1u) << c.fault;
        EXPECT_EQ(channel.LastError(), c.lastError) << c.fault;
        EXPECT_EQ(channel.RecordCount(), 0u);
        EXPECT_TRUE(HostLines("far1", "address").empty()) << "the appliance kept its address";
    }
}

TEST_F(Reconfigure, NoAnswerWithin10SecondsGives0) {
    // Meant for an address nobody has: the foreign appliance ignores it.
    CommandChannel channel;
    channel.SetTarget("203.0.113.99");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(channel.ReconfigureAppliance(), 0u);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(LISTENER_WAIT_MILLISECONDS));
    EXPECT_EQ(channel.LastError(), 0u);
    EXPECT_EQ(HostLines("far1", "udp-journal").size(), 1u) << "the request reached it";
    EXPECT_TRUE(HostLines("far1", "address").empty());
}

TEST_F(Reconfigure, TheForeignApplianceTakesTheFreeAddressAndIsFoundThere) {
    CommandChannel channel;
    channel.SetTarget("203.0.113.20");
    EXPECT_EQ(channel.ReconfigureAppliance(), 0u);
    // .250 and .249 answer (the lab gives them to nas1), so .248 is the free one.
    EXPECT_EQ(channel.FreeAddress(), "198.51.100.248");
    EXPECT_EQ(channel.RecordCount(), 0u) << "the answer is parsed, not counted";
    EXPECT_EQ(channel.Record(0).hostName, "TOV-113-20");
    EXPECT_EQ(channel.Record(0).ipAddress, "198.51.100.248");
    std::vector<std::string> journal = HostLines("far1", "udp-journal");
    ASSERT_EQ(journal.size(), 1u);
    std::string frame = std::string("ipcf \x06\x00\x00\x00\n", 10) +
                        "203.0.113.20\n\nstatic\n198.51.100.248\n255.255.255.0\n198.51.100.1\n";
    EXPECT_NE(journal[0].find(" 255.255.255.255 " + Hex(frame)), std::string::npos) << journal[0];
    EXPECT_EQ(HostLines("far1", "address"), (std::vector<std::string>{"198.51.100.248"}));

    CommandChannel scan;
    scan.Discover(SCAN_UNICAST);
    EXPECT_EQ(Found(scan)["TOV-113-20"], "198.51.100.248");

    // It answers commands at its new address too.
    CommandChannel command;
    command.SetTarget("198.51.100.248");
    uint32_t status = 0xFFFFFFFF;
    EXPECT_EQ(command.SendFrst(status), CMD_OK);
    EXPECT_EQ(status, 0u);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string why;
    if (!InsideLab(&why)) {
        std::fprintf(stderr, "discovery_lab_test: REFUSED: not inside the network lab: %s\n",
                     why.c_str());
        return 1;
    }
    return RUN_ALL_TESTS();
}
