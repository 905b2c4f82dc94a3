// Runs every command against the appliance simulator that protocol/with-appliance started.
#include "protocol/channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// Where nothing listens: the simulators of the tests use 127.77.x.y.
const char* const NOBODY = "127.254.0.1";

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The simulator's state folder as this program opens it (a Windows program sees / as Z:).
std::string StatePath(const std::string& name) {
#if defined(_WIN32)
    return "Z:" + Env("TOV_APPLIANCE_STATE") + "/" + name;
#else
    return Env("TOV_APPLIANCE_STATE") + "/" + name;
#endif
}

void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream out(StatePath(name), std::ios::binary | std::ios::trunc);
    out << text;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(StatePath(name), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FolderExists(const std::string& name) {
    std::ofstream probe(StatePath(name + "/.probe"));
    bool ok = static_cast<bool>(probe);
    probe.close();
    std::remove(StatePath(name + "/.probe").c_str());
    return ok;
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

std::vector<std::string> JournalLines() {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile("journal"));
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

std::string LE(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

// Keeps time-outs short and remembers which product time-out each exchange asked for.
class QuickChannel : public CommandChannel {
public:
    mutable std::vector<unsigned> asked;

protected:
    unsigned ReplySeconds(unsigned productSeconds) const override {
        asked.push_back(productSeconds);
        return 1;
    }
};

class ApplianceTest : public ::testing::Test {
protected:
    void SetUp() override {
        address = Env("TOV_APPLIANCE_ADDRESS");
        ASSERT_FALSE(address.empty()) << "run through protocol/with-appliance";
        for (const char* f : {"journal", "faults", "accounts.tsv", "shares.tsv", "settings",
                              "backup-status.tsv", "host", "spvt.bin"})
            std::remove(StatePath(f).c_str());
        channel.SetTarget(address);
    }
    void Fault(const std::string& lines) { WriteFile("faults", lines); }
    std::string LastFrame() {
        auto lines = JournalLines();
        return lines.empty() ? "" : lines.back();
    }

    std::string address;
    QuickChannel channel;
};

} // namespace

TEST_F(ApplianceTest, CratCreatesOnceAndSendsTheExactFrame) {
    uint32_t status = 0xDEADBEEF;
    ASSERT_EQ(channel.SendCrat("abcd", "pass1234", status), CMD_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(LastFrame(), Hex(std::string("crat \x02\x00\x00\x00\nabcd\npass1234\n", 24)));
    EXPECT_EQ(ReadFile("accounts.tsv"), "abcd\tpass1234\t1\n");
    ASSERT_EQ(channel.SendCrat("abcd", "other", status), CMD_OK);
    EXPECT_EQ(status, 0x10000001u);
    ASSERT_EQ(channel.SendCrat("nopass", "", status), CMD_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(channel.SendGsp1("abcd"), 1);
    EXPECT_EQ(channel.SendGsp1("nopass"), 2);
    EXPECT_EQ(channel.SendGsp1("nobody"), 0);
}

TEST_F(ApplianceTest, NamesBeginningWithAHashAreNamesLikeAnyOther) {
    uint32_t status = 0xDEADBEEF;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(channel.SendCrat("#team", "pw", status), CMD_OK);
        EXPECT_EQ(status, round == 0 ? 0u : 0x10000001u) << round;
        ASSERT_EQ(channel.SendShar("#team", "#team", "", status), CMD_OK);
        EXPECT_EQ(status, round == 0 ? 0u : 0x20000001u) << round;
    }
    EXPECT_EQ(channel.SendGsp1("#team"), 1);
}

TEST_F(ApplianceTest, SharesAreFoldersAndRefusedTwice) {
    uint32_t status = 0xDEADBEEF;
    ASSERT_EQ(channel.SendShar("bob", "bob", "", status), CMD_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(LastFrame(), Hex(std::string("shar \x03\x00\x00\x00\nbob\nbob\n\n", 19)));
    EXPECT_TRUE(FolderExists("shares/bob"));
    ASSERT_EQ(channel.SendShar("bob", "bob", "", status), CMD_OK);
    EXPECT_EQ(status, 0x20000001u);
    ASSERT_EQ(channel.SendPshr("guest", "carol", "", status), CMD_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(FolderExists("shares/carol"));
    ASSERT_EQ(channel.SendPshr("guest", "carol", "", status), CMD_OK);
    EXPECT_EQ(status, 0x20000001u);
}

TEST_F(ApplianceTest, FrstIsTenBytesAndCarriesTheStatus) {
    uint32_t status = 0xDEADBEEF;
    ASSERT_EQ(channel.SendFrst(status), CMD_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(LastFrame(), Hex(std::string("frst \0\0\0\0\n", 10)));
    WriteFile("settings", "frst=0x04030201\n");
    ASSERT_EQ(channel.SendFrst(status), CMD_OK);
    EXPECT_EQ(status, 0x04030201u);
    // Two bytes before the close: the missing status bytes stay zero.
    Fault("frst short 2\n");
    ASSERT_EQ(channel.SendFrst(status), CMD_OK);
    EXPECT_EQ(status, 0x0201u);
    // A close without any reply is a reply of nothing: status 0.
    Fault("frst drop\n");
    status = 0xDEADBEEF;
    ASSERT_EQ(channel.SendFrst(status), CMD_OK);
    EXPECT_EQ(status, 0u);
    // A named or "erro" reply is read as a status made of its first four bytes.
    Fault("frst erro 5\n");
    ASSERT_EQ(channel.SendFrst(status), CMD_OK);
    EXPECT_EQ(status, 0x6f727265u);
}

TEST_F(ApplianceTest, HostSendsClockAndTexts) {
    EXPECT_EQ(channel.SendHost("", "", "en"), CMD_OK);
    std::string host = ReadFile("host");
    ASSERT_EQ(host.rfind("clock=", 0), 0u) << host;
    std::string clock = host.substr(6, host.find('\n') - 6);
    ASSERT_EQ(clock.size(), 15u);
    EXPECT_EQ(clock[12], '.');
    for (size_t i = 0; i < 15; ++i) {
        if (i != 12) {
            EXPECT_TRUE(clock[i] >= '0' && clock[i] <= '9') << clock;
        }
    }
    EXPECT_NE(host.find("language=en\n"), std::string::npos);
    EXPECT_EQ(LastFrame(), Hex("host " + LE(4) + "\n" + clock + "\n\n\nen\n"));
    Fault("host reply 07000020\n");
    EXPECT_EQ(channel.SendHost("", "", "en"), 0x20000007u);
}

TEST_F(ApplianceTest, LstsListsAccountsWithThePublicOne) {
    uint32_t status = 0;
    ASSERT_EQ(channel.SendCrat("alice", "pw", status), CMD_OK);
    uint32_t count = 0;
    std::string text = channel.SendLsts(status, count);
    EXPECT_EQ(status, CMD_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(ListedAccounts(text, count), (std::vector<std::string>{"Public", "alice"}));
    EXPECT_EQ(LastFrame(), Hex(std::string("lsts \0\0\0\0\n", 10)));

    // "erro": status 0, the code as the count, the rest of the reply as text.
    Fault("lsts erro 0x10000003\n");
    text = channel.SendLsts(status, count);
    EXPECT_EQ(status, CMD_OK);
    EXPECT_EQ(count, 0x10000003u);
    EXPECT_EQ(text, std::string("\x03\x00", 1));

    // Neither: a bad reply, an empty text, the count as it was.
    Fault("lsts garbage 40\n");
    count = 77;
    text = channel.SendLsts(status, count);
    EXPECT_EQ(status, CMD_BAD_REPLY);
    EXPECT_EQ(count, 77u);
    EXPECT_EQ(text, "");
}

TEST_F(ApplianceTest, ReplyLongerThanTheBufferIsCut) {
    Fault("lsts long 6000\n");
    uint32_t status = 1, count = 0;
    std::string text = channel.SendLsts(status, count);
    EXPECT_EQ(status, CMD_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(text.size(), FRAME_SIZE - 10);
}

TEST_F(ApplianceTest, SpvtFramesAndItsLengthLimit) {
    const uint8_t data[4] = {1, '\n', 0, 0xFF};
    EXPECT_EQ(channel.SendSpvt(data, 4), CMD_OK);
    EXPECT_EQ(LastFrame(), Hex("spvt " + LE(2) + "\n" + LE(4) + "\n" +
                               std::string(reinterpret_cast<const char*>(data), 4) + "\n"));
    EXPECT_EQ(ReadFile("spvt.bin"), std::string(reinterpret_cast<const char*>(data), 4));

    std::string longest(MAX_SPVT_LENGTH, 'z');
    EXPECT_EQ(channel.SendSpvt(reinterpret_cast<const uint8_t*>(longest.data()), longest.size()),
              CMD_OK);
    EXPECT_EQ(LastFrame().size(), 2 * (16 + MAX_SPVT_LENGTH));
    EXPECT_EQ(ReadFile("spvt.bin"), longest);

    size_t before = JournalLines().size();
    std::string tooLong(MAX_SPVT_LENGTH + 1, 'z');
    EXPECT_EQ(channel.SendSpvt(reinterpret_cast<const uint8_t*>(tooLong.data()), tooLong.size()),
              SPVT_TOO_LONG);
    EXPECT_EQ(JournalLines().size(), before);
}

TEST_F(ApplianceTest, Gub1BlockFromStatusRecords) {
    StatusBlock block;
    ASSERT_EQ(channel.SendGub1(block), CMD_OK);
    EXPECT_FALSE(block.bytes);
    EXPECT_EQ(LastFrame(), Hex(std::string("gub1 \0\0\0\0\n", 10)));
    EXPECT_EQ(channel.asked, (std::vector<unsigned>{LONG_REPLY_SECONDS}));

    WriteFile("settings", "capacity=931\n");
    WriteFile("backup-status.tsv", "300\tM\t12012005\t0\talice\n"
                                   "2\tG\t01022006\t2\t" +
                                       std::string(40, 'n') + "\n");
    ASSERT_EQ(channel.SendGub1(block), CMD_OK);
    ASSERT_TRUE(block.bytes);
    std::string rec1 = std::string("\x2c\x01M12012005") + "0alice\n";
    std::string rec2 = std::string("\x02\x00G01022006", 11) + "2" + std::string(40, 'n') + "\n";
    // The second name runs past 32 characters: its record ends one byte after the 32nd.
    std::string expected = LE(931u << 16 | 2) + "\n" + rec1 + rec2.substr(0, 12 + 33);
    expected += rec2.substr(12 + 33, 6);
    EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(block.bytes.get()), block.size)),
              Hex(expected));

    // A reply that is not "gu..." leaves the block as it was and still succeeds.
    Fault("gub1 reply 6578747261\n");
    uint8_t* kept = block.bytes.get();
    EXPECT_EQ(channel.SendGub1(block), CMD_OK);
    EXPECT_EQ(block.bytes.get(), kept);

    // Count 0: the old block is freed and none stored.
    Fault("gub1 reply 67757a7a2000000000"
          "0a\n");
    EXPECT_EQ(channel.SendGub1(block), CMD_OK);
    EXPECT_FALSE(block.bytes);
}

TEST_F(ApplianceTest, Gub1RecordsUpToTheEndOfTheBuffer) {
    // 313 records of 13 bytes and one of 17 end with a newline that is the 4096th byte, so the
    // six trailing bytes of the block lie past the data.
    std::string reply = "gubr " + LE(314) + "\n";
    for (int i = 0; i < 313; ++i)
        reply += std::string("\x01\x00K01012006", 11) + "0" + "\n";
    reply += std::string("\x01\x00K01012006", 11) + "1" + "abcd\n";
    ASSERT_EQ(reply.size(), FRAME_SIZE);
    Fault("gub1 reply " + Hex(reply) + "\n");
    StatusBlock block;
    ASSERT_EQ(channel.SendGub1(block), CMD_OK);
    ASSERT_TRUE(block.bytes);
    ASSERT_EQ(block.size, FRAME_SIZE - 5 + 6);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.bytes.get()), FRAME_SIZE - 5),
              reply.substr(5));
    for (size_t i = FRAME_SIZE - 5; i < block.size; ++i)
        EXPECT_EQ(block.bytes[i], 0) << i;

    // One record more than the data holds: the walk stops at the end of the data all the same.
    reply[5] = 0x3b;
    reply[6] = 0x01;
    Fault("gub1 reply " + Hex(reply) + "\n");
    ASSERT_EQ(channel.SendGub1(block), CMD_OK);
    ASSERT_TRUE(block.bytes);
    EXPECT_EQ(block.size, FRAME_SIZE - 5 + 6);
}

TEST_F(ApplianceTest, Gps1NameAndItsFailures) {
    std::string name = "unset";
    ASSERT_EQ(channel.SendGps1(name), CMD_OK);
    EXPECT_EQ(name, "Public");
    WriteFile("settings", "public=Openbox\n");
    ASSERT_EQ(channel.SendGps1(name), CMD_OK);
    EXPECT_EQ(name, "Openbox");

    // The word matches but its fifth byte is no space: not recognised.
    Fault("gps1 reply 677073725f01000000"
          "0a5075626c69630a\n");
    name = "unset";
    EXPECT_EQ(channel.SendGps1(name), CMD_BAD_REPLY);
    EXPECT_EQ(name, "unset");
    // "erro" is no failure: the text from its code on is the line.
    Fault("gps1 erro 0x00414243\n");
    EXPECT_EQ(channel.SendGps1(name), CMD_OK);
    EXPECT_EQ(name, "CBA");
}

TEST_F(ApplianceTest, Gsp1ReadsAByteNotADigit) {
    Fault("gsp1 reply 6773707220010000000a02\n");
    EXPECT_EQ(channel.SendGsp1("x"), 2);
    Fault("gsp1 reply 6773707220010000000a32\n");
    EXPECT_EQ(channel.SendGsp1("x"), -1);
    Fault("gsp1 reply 6773707220010000000aff\n");
    EXPECT_EQ(channel.SendGsp1("x"), -1);
    Fault("gsp1 erro 3\n");
    EXPECT_EQ(channel.SendGsp1("x"), 3);
    Fault("gsp1 garbage 12\n");
    EXPECT_EQ(channel.SendGsp1("x"), -1);
    EXPECT_EQ(LastFrame(), Hex("gsp1 " + LE(1) + "\nx\n"));
}

TEST_F(ApplianceTest, ConnectionKeptOpenTimesOut) {
    Fault("frst hold\ngub1 hold\n");
    uint32_t status = 0xDEADBEEF;
    EXPECT_EQ(channel.SendFrst(status), CMD_TIMEOUT);
    EXPECT_EQ(status, 0xDEADBEEFu);
    EXPECT_EQ(channel.LastError(), 0u);
    StatusBlock block;
    EXPECT_EQ(channel.SendGub1(block), CMD_TIMEOUT);
    EXPECT_FALSE(block.bytes);
    EXPECT_EQ(channel.asked, (std::vector<unsigned>{REPLY_SECONDS, LONG_REPLY_SECONDS}));
    Fault("gps1 hold\ngsp1 hold\n");
    std::string name = "kept";
    EXPECT_EQ(channel.SendGps1(name), CMD_BAD_REPLY);
    EXPECT_EQ(name, "kept");
    EXPECT_EQ(channel.SendGsp1("x"), -1);
    // A reply that comes after the wait is over is a time-out as well.
    Fault("frst delay 4000\n");
    EXPECT_EQ(channel.SendFrst(status), CMD_TIMEOUT);
    EXPECT_EQ(status, 0xDEADBEEFu);
}

TEST_F(ApplianceTest, AbandonedWaitEndsAsATimeOut) {
    // the product's ten minutes for "gub1": only the abandoned check can end the wait
    Fault("gub1 hold\n");
    CommandChannel patient;
    patient.SetTarget(address);
    int asked = 0;
    patient.SetAbandoned([&asked] { return ++asked == 2; });
    StatusBlock block;
    EXPECT_EQ(patient.SendGub1(block), CMD_TIMEOUT);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(block.bytes);
}

TEST_F(ApplianceTest, RefusedConnectionLeavesOutValuesAlone) {
    channel.SetTarget(NOBODY);
    uint32_t status = 0xDEADBEEF;
    EXPECT_EQ(channel.SendCrat("a", "b", status), CMD_SOCKET_ERROR);
    EXPECT_NE(channel.LastError(), 0u);
    EXPECT_EQ(channel.SendShar("a", "a", "", status), CMD_SOCKET_ERROR);
    EXPECT_EQ(channel.SendPshr("guest", "a", "", status), CMD_SOCKET_ERROR);
    EXPECT_EQ(channel.SendFrst(status), CMD_SOCKET_ERROR);
    EXPECT_EQ(status, 0xDEADBEEFu);
    EXPECT_EQ(channel.SendHost("", "", "en"), CMD_SOCKET_ERROR);
    uint32_t count = 42;
    EXPECT_EQ(channel.SendLsts(status, count), "");
    EXPECT_EQ(status, CMD_SOCKET_ERROR);
    EXPECT_EQ(count, 42u);
    const uint8_t one = 1;
    EXPECT_EQ(channel.SendSpvt(&one, 1), CMD_SOCKET_ERROR);
    StatusBlock block;
    block.bytes.reset(new uint8_t[3]());
    block.size = 3;
    uint8_t* kept = block.bytes.get();
    EXPECT_EQ(channel.SendGub1(block), CMD_SOCKET_ERROR);
    EXPECT_EQ(block.bytes.get(), kept);
    std::string name = "kept";
    EXPECT_EQ(channel.SendGps1(name), CMD_BAD_REPLY);
    EXPECT_EQ(name, "kept");
    EXPECT_EQ(channel.SendGsp1("a"), -1);
    EXPECT_TRUE(channel.asked.empty());
}

TEST_F(ApplianceTest, UnparsableRequestGetsErro) {
    // Straight through the sockets shim, since the channel only sends well-formed frames.
    uint32_t error = 0;
    ASSERT_TRUE(SocketsStart(&error));
    SocketHandle s = SocketCreate(IP_PROTOCOL_TCP);
    ASSERT_NE(s, INVALID_SOCKET_HANDLE);
    ASSERT_TRUE(SocketConnect(s, ParseIPv4Address(address.c_str()), COMMAND_PORT));
    const char bad[] = "CRAT \x01\x00\x00\x00\nx\n";
    ASSERT_EQ(SocketSend(s, bad, sizeof bad - 1), static_cast<long>(sizeof bad - 1));
    std::string reply;
    char chunk[256];
    for (;;) {
        ASSERT_EQ(SocketWaitReadable(s, 10), 1);
        long n = SocketReceive(s, chunk, sizeof chunk);
        if (n <= 0)
            break;
        reply.append(chunk, static_cast<size_t>(n));
    }
    SocketClose(s);
    SocketsRelease();
    EXPECT_EQ(Hex(reply), Hex("erro " + LE(0xB0000001) + "\n"));
}

TEST_F(ApplianceTest, ChannelsOnSeveralThreadsAtOnce) {
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, &good] {
            for (int i = 0; i < 15; ++i) {
                CommandChannel own;
                own.SetTarget(address);
                uint32_t status = 1;
                if (own.SendFrst(status) == CMD_OK && status == 0)
                    ++good;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(good.load(), 60);
}
