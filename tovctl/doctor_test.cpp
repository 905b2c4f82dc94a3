// The reachability doctor over made-up networks: which findings each layout gives, in which
// order, what their sentences name, and that nothing is reconfigured unless asked.
#include "tovctl/doctor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace doctor;

const Adapter kLan{"198.51.100.10", "255.255.255.0", "198.51.100.1"};
const Appliance kNas{"TOV-100-20", "198.51.100.20", "Shared Storage drive"};
const Appliance kFar{"TOV-113-20", "203.0.113.20", "Shared Storage drive"};
const TcpCheck kAnswering{Tcp::Answering, 0, 0};
const TcpCheck kSilent{Tcp::Silent, 0xC0000001, 0};
const TcpCheck kRefused{Tcp::Refused, 0xC0000002, 111};

class FakeNetwork : public Measurements {
public:
    std::vector<Adapter> adapters{kLan};
    Scan unicast{0xC0000001, {}};
    Scan broadcast{0, {}};
    Scan rescan{0xC0000001, {}};
    std::map<std::string, int> echo;
    std::map<std::string, TcpCheck> tcp;
    FreeAddress free{0, "198.51.100.250"};
    FixResult fix{0, 0, "198.51.100.250"};
    std::vector<std::string> calls;

    std::vector<Adapter> Adapters() override {
        calls.push_back("adapters");
        return adapters;
    }
    Scan Discover(uint32_t mode) override {
        calls.push_back("discover " + std::to_string(mode));
        if (mode == 2)
            return broadcast;
        return Count("discover 1") > 1 ? rescan : unicast;
    }
    int Echo(const std::string& address) override {
        calls.push_back("echo " + address);
        return echo.count(address) ? echo[address] : kEchoNoAnswer;
    }
    TcpCheck CheckTcp(const std::string& address) override {
        calls.push_back("tcp " + address);
        return tcp.count(address) ? tcp[address] : TcpCheck{};
    }
    FreeAddress FindFree() override {
        calls.push_back("free");
        return free;
    }
    FixResult Reconfigure(const std::string& address) override {
        calls.push_back("ipcf " + address);
        return fix;
    }
    void Settle() override { calls.push_back("settle"); }

    int Count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls)
            n += c == call;
        return n;
    }
};

struct Layout {
    const char* name;
    void (*build)(FakeNetwork& net, Request& request);
    std::vector<std::string> findings; // every finding's id, in order
    bool healthy;
    // (finding, a text it must hold)
    std::vector<std::pair<std::string, std::string>> says;
};

const Layout kLayouts[] = {
    {"both drives: the foreign one and the address it would take",
     [](FakeNetwork& net, Request&) {
         net.unicast.found = {kNas};
         net.broadcast.found = {kNas, kFar};
         net.tcp[kNas.ipAddress] = kAnswering;
     },
     {"adapters", "unicast-scan", "broadcast-scan", "drive-answering", "foreign-subnet",
      "hidden-by-unicast"},
     true,
     {{"foreign-subnet", "TOV-113-20 at 203.0.113.20 answers the broadcast scan"},
      {"foreign-subnet", "outside this computer's subnets (198.51.100.0/255.255.255.0)"},
      {"foreign-subnet", "static address 198.51.100.250 (the highest address"},
      {"foreign-subnet", "mask 255.255.255.0 and gateway 198.51.100.1"},
      {"hidden-by-unicast", "while TOV-100-20 answers, it neither lists TOV-113-20"},
      {"unicast-scan", "(to 198.51.100.255, the subnet of 198.51.100.10) found 1 drive"},
      {"broadcast-scan", "found 2 drives: TOV-100-20 at 198.51.100.20, TOV-113-20 at"}}},
    {"the foreign drive only",
     [](FakeNetwork& net, Request&) { net.broadcast.found = {kFar}; },
     {"adapters", "unicast-scan", "broadcast-scan", "foreign-subnet"},
     false,
     {{"unicast-scan", "found no drive"}, {"foreign-subnet", "\"tovctl doctor --fix\" does it"}}},
    {"the foreign drive only, fixed",
     [](FakeNetwork& net, Request& r) {
         net.broadcast.found = {kFar};
         net.rescan.found = {{kFar.hostName, "198.51.100.250", kFar.detail}};
         net.tcp["198.51.100.250"] = kAnswering;
         r.fix = true;
     },
     {"adapters", "unicast-scan", "broadcast-scan", "foreign-subnet", "fixed"},
     true,
     {{"fixed", "TOV-113-20 at 203.0.113.20 was given the address 198.51.100.250"}}},
    {"a fix the drive refuses",
     [](FakeNetwork& net, Request& r) {
         net.broadcast.found = {kFar};
         net.fix = {1, 0xB0000003, "198.51.100.250"};
         r.fix = true;
     },
     {"adapters", "unicast-scan", "broadcast-scan", "foreign-subnet", "fix-failed"},
     false,
     {{"fix-failed", "answered with the error 0xB0000003"}}},
    {"no free address for the foreign drive",
     [](FakeNetwork& net, Request&) {
         net.broadcast.found = {kFar};
         net.free = {-1, ""};
     },
     {"adapters", "unicast-scan", "broadcast-scan", "foreign-subnet"},
     false,
     {{"foreign-subnet", "A reconfiguration would fail: no free address"}}},
    {"no drive: cabling, power, firewall",
     [](FakeNetwork&, Request&) {},
     {"adapters", "unicast-scan", "broadcast-scan", "nothing-found", "advice-cabling",
      "advice-power", "advice-firewall"},
     false,
     {{"advice-cabling", "Cabling: "}, {"advice-power", "Power: "}, {"advice-firewall", "4302"}}},
    {"a silent TCP port",
     [](FakeNetwork& net, Request&) {
         net.unicast.found = {kNas};
         net.broadcast.found = {kNas};
         net.echo[kNas.ipAddress] = kEchoAnswered;
         net.tcp[kNas.ipAddress] = kSilent;
     },
     {"adapters", "unicast-scan", "broadcast-scan", "drive-not-answering"},
     false,
     {{"drive-not-answering", "takes the connection on TCP port 4301 but sent no answer within "
                              "10 seconds"}}},
    {"a remembered address that no longer answers; the drive moved",
     [](FakeNetwork& net, Request& r) {
         net.unicast.found = {kNas};
         net.broadcast.found = {kNas};
         net.tcp[kNas.ipAddress] = kAnswering;
         r.remembered = "198.51.100.30";
         r.rememberedName = "tov-100-20";
     },
     {"adapters", "unicast-scan", "broadcast-scan", "drive-answering", "remembered-gone"},
     true,
     {{"remembered-gone", "198.51.100.30 (\"CurrentIP\") no longer answers"},
      {"remembered-gone", "now answers at 198.51.100.20"}}},
    {"a remembered address another device took",
     [](FakeNetwork& net, Request& r) {
         net.echo["198.51.100.30"] = kEchoAnswered;
         net.tcp["198.51.100.30"] = kRefused;
         r.remembered = "198.51.100.30";
     },
     {"adapters", "unicast-scan", "broadcast-scan", "remembered-taken", "nothing-found",
      "advice-cabling", "advice-power", "advice-firewall"},
     false,
     {{"remembered-taken", "skips the Locate screen"}}},
    {"an address that answers TCP but not the scans",
     [](FakeNetwork& net, Request& r) {
         net.tcp["198.51.100.40"] = kAnswering;
         r.address = "198.51.100.40";
     },
     {"adapters", "unicast-scan", "broadcast-scan", "address-not-scanned"},
     true,
     {{"address-not-scanned", "UDP port 4302 in"}}},
    {"no adapter with an address",
     [](FakeNetwork& net, Request&) {
         net.adapters = {{"0.0.0.0", "0.0.0.0", "0.0.0.0"}};
     },
     {"no-ipv4-adapter"},
     false,
     {{"no-ipv4-adapter", "(1 adapter has none)"}}},
    {"a self-assigned adapter beside the lan",
     [](FakeNetwork& net, Request&) {
         net.adapters = {{"169.254.7.9", "255.255.0.0", "0.0.0.0"}, kLan};
         net.unicast.found = {};
         net.broadcast.found = {kNas};
         net.tcp[kNas.ipAddress] = kAnswering;
     },
     {"several-adapters", "self-assigned-address", "unicast-scan", "broadcast-scan",
      "other-adapter-subnet", "drive-answering"},
     true,
     {{"several-adapters", "asks only the first one's subnet (169.254.0.0/255.255.0.0)"},
      {"self-assigned-address", "The adapter 169.254.7.9 has a self-assigned address"}}},
};

TEST(Doctor, ExplainsEachLayout) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        FakeNetwork net;
        Request request;
        layout.build(net, request);
        const Diagnosis d = Diagnose(net, request);
        std::vector<std::string> ids;
        for (const Finding& f : d.findings)
            ids.push_back(f.id);
        EXPECT_EQ(layout.findings, ids);
        EXPECT_EQ(layout.healthy, d.healthy);
        for (const auto& say : layout.says) {
            bool found = false;
            for (const Finding& f : d.findings)
                found =
                    found || (f.id == say.first && f.text.find(say.second) != std::string::npos);
            EXPECT_TRUE(found) << say.first << " should say: " << say.second;
        }
        // "ipcf" only when asked, and then a settle and a rescan before the new address is used
        EXPECT_EQ(request.fix ? 1 : 0, net.Count("ipcf " + kFar.ipAddress));
        if (!request.fix) {
            EXPECT_EQ(0, net.Count("settle"));
        }
    }
}

TEST(Doctor, MeasuresInOrderAndReusesWhatItHasMeasured) {
    FakeNetwork net;
    net.unicast.found = {kNas};
    net.broadcast.found = {kNas, kFar};
    net.rescan.found = {kNas, {kFar.hostName, "198.51.100.250", kFar.detail}};
    net.tcp[kNas.ipAddress] = kAnswering;
    net.tcp["198.51.100.250"] = kAnswering;
    Request request;
    request.address = kFar.ipAddress;
    request.remembered = kNas.ipAddress;
    request.fix = true;
    const Diagnosis d = Diagnose(net, request);
    const std::vector<std::string> expected = {
        "adapters", "discover 1",        "discover 2", "echo 198.51.100.20", "tcp 198.51.100.20",
        "free",     "ipcf 203.0.113.20", "settle",     "discover 1",         "tcp 198.51.100.250"};
    EXPECT_EQ(expected, net.calls);
    EXPECT_TRUE(d.healthy);
    ASSERT_EQ(1u, d.fixes.size());
    EXPECT_TRUE(d.fixes[0].rescanFound);
    EXPECT_TRUE(d.checkedRemembered);
}

TEST(Doctor, SelfAssignedAddresses) {
    EXPECT_TRUE(IsSelfAssigned("169.254.0.1"));
    EXPECT_FALSE(IsSelfAssigned("169.25.4.1"));
    EXPECT_FALSE(IsSelfAssigned("198.51.100.10"));
}

} // namespace
