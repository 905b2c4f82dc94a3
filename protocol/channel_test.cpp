// Checks request frames, reply shapes and the two record walks without a network.
#include "protocol/channel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>

namespace {

std::string Bytes(const uint8_t* data, size_t n) {
    return std::string(reinterpret_cast<const char*>(data), n);
}

const uint8_t* P(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

} // namespace

TEST(RequestFrame, HeaderAndFieldsAreByteExact) {
    uint8_t buffer[FRAME_SIZE];
    std::memset(buffer, 0xAA, sizeof buffer);
    CommandChannel::BuildRequestHeader(buffer, "crat", 2);
    size_t end = CommandChannel::AppendField(buffer, HEADER_SIZE, "abcd");
    end = CommandChannel::AppendField(buffer, end, "pass1234");
    ASSERT_EQ(end, 24u);
    EXPECT_EQ(Bytes(buffer, end), std::string("crat \x02\x00\x00\x00\nabcd\npass1234\n", 24));
    // The rest of the buffer is zero-filled, not left as it was.
    for (size_t i = end; i < FRAME_SIZE; ++i)
        ASSERT_EQ(buffer[i], 0) << i;

    CommandChannel::BuildRequestHeader(buffer, "frst", 0);
    EXPECT_EQ(Bytes(buffer, HEADER_SIZE), std::string("frst \0\0\0\0\n", 10));
    CommandChannel::BuildRequestHeader(buffer, "host", 0x01020304);
    EXPECT_EQ(Bytes(buffer, HEADER_SIZE), std::string("host \x04\x03\x02\x01\n", 10));

    CommandChannel::BuildRequestHeader(buffer, "shar", 3);
    end = CommandChannel::AppendField(buffer, HEADER_SIZE, "bob");
    end = CommandChannel::AppendField(buffer, end, "bob");
    end = CommandChannel::AppendField(buffer, end, "");
    EXPECT_EQ(Bytes(buffer, end), std::string("shar \x03\x00\x00\x00\nbob\nbob\n\n", 19));
}

TEST(RequestFrame, FieldThatWouldOverrunTheBufferIsCut) {
    uint8_t buffer[FRAME_SIZE];
    CommandChannel::BuildRequestHeader(buffer, "crat", 1);
    std::string huge(5000, 'a');
    size_t end = CommandChannel::AppendField(buffer, HEADER_SIZE, huge);
    EXPECT_EQ(end, FRAME_SIZE);
    EXPECT_EQ(buffer[FRAME_SIZE - 1], '\n');
    EXPECT_EQ(CommandChannel::AppendField(buffer, end, "more"), FRAME_SIZE);
}

TEST(ClockText, MonthDayHourMinuteYearPointSecond) {
    EXPECT_EQ(FormatClockText(2005, 12, 1, 9, 5, 3), "120109052005.03");
    EXPECT_EQ(FormatClockText(2006, 3, 7, 14, 25, 59), "030714252006.59");
    std::string now = ClockTextNow();
    ASSERT_EQ(now.size(), 15u);
    EXPECT_EQ(now[12], '.');
}

TEST(ParseReply, NamedReplyNeedsTheWordAndASpace) {
    std::string good("gpsr \x07\x00\x00\x00\nPublic\n", 17);
    uint32_t value = 0;
    EXPECT_EQ(CommandChannel::ParseReply(P(good), good.size(), 0, "gpsr", &value, nullptr), 10u);
    EXPECT_EQ(value, 7u);

    std::string noSpace = good;
    noSpace[4] = 'x';
    value = 99;
    EXPECT_EQ(CommandChannel::ParseReply(P(noSpace), noSpace.size(), 0, "gpsr", &value, nullptr),
              NO_POSITION);
    EXPECT_EQ(value, 99u);

    // "erro" is taken whatever its fifth byte is.
    std::string erro("erroZ\x01\x00\x00\x20", 9);
    EXPECT_EQ(CommandChannel::ParseReply(P(erro), erro.size(), 0, "gpsr", &value, nullptr), 5u);
    EXPECT_EQ(value, 0x20000001u);

    // A value cut short reads as zero bytes, never past the data.
    std::string cut("lsst \x05", 6);
    EXPECT_EQ(CommandChannel::ParseReply(P(cut), cut.size(), 0, "lsst", &value, nullptr), 10u);
    EXPECT_EQ(value, 5u);
    std::string word("lss");
    EXPECT_EQ(CommandChannel::ParseReply(P(word), word.size(), 0, "lsst", &value, nullptr),
              NO_POSITION);
}

TEST(ParseReply, LineEndsAtNewlineZeroOrEndOfData) {
    std::string body("one\ntwo\0three", 13);
    std::string line;
    size_t at = CommandChannel::ParseReply(P(body), body.size(), 0, nullptr, nullptr, &line);
    EXPECT_EQ(line, "one");
    EXPECT_EQ(at, 4u);
    at = CommandChannel::ParseReply(P(body), body.size(), at, nullptr, nullptr, &line);
    EXPECT_EQ(line, "two");
    EXPECT_EQ(at, 8u);
    at = CommandChannel::ParseReply(P(body), body.size(), at, nullptr, nullptr, &line);
    EXPECT_EQ(line, "three");
    EXPECT_EQ(at, body.size());
    at = CommandChannel::ParseReply(P(body), body.size(), at, nullptr, nullptr, &line);
    EXPECT_EQ(line, "");
    EXPECT_EQ(at, body.size());
}

TEST(StatusWalk, RecordsEndAtNewlineOrAfter32Characters) {
    std::string reply("gubr \x02\x00\x00\x00\n", 10);
    reply += std::string(12, 'p') + "alice\n";
    reply += std::string(12, 'q') + std::string(32, 'b') + "Z";
    EXPECT_EQ(WalkStatusRecords(P(reply), reply.size(), 1), 10u + 12 + 6);
    // The second name has no newline within 32 characters: one more byte is taken anyway.
    EXPECT_EQ(WalkStatusRecords(P(reply), reply.size(), 2), reply.size());
    // More records announced than there are: the walk stops at the end of the data.
    EXPECT_EQ(WalkStatusRecords(P(reply), reply.size(), 60000), reply.size());
    EXPECT_EQ(WalkStatusRecords(P(reply), reply.size(), 0), 10u);
    EXPECT_EQ(WalkStatusRecords(P(reply), 4, 3), 10u);
}

TEST(AccountList, FirstLineOfEachEntry) {
    std::string text = "Public\npublic\nalice\nprivate\nbob\nopen\n";
    EXPECT_EQ(ListedAccounts(text, 3), (std::vector<std::string>{"Public", "alice", "bob"}));
    EXPECT_EQ(ListedAccounts(text, 2), (std::vector<std::string>{"Public", "alice"}));
    // A count larger than the entries adds nothing more.
    EXPECT_EQ(ListedAccounts(text, 0x20000001), ListedAccounts(text, 3));
    EXPECT_EQ(ListedAccounts("solo", 5), (std::vector<std::string>{"solo"}));
    EXPECT_TRUE(ListedAccounts("", 5).empty());
}

TEST(Channel, FreshChannelIsEmpty) {
    CommandChannel channel;
    EXPECT_EQ(channel.RecordCount(), 0u);
    EXPECT_EQ(channel.LastError(), 0u);
    EXPECT_EQ(channel.NotifyWindow(), nullptr);
    EXPECT_STREQ(channel.LastCommand(), "");
    EXPECT_EQ(channel.TargetAddress(), "");
    channel.SetTarget("127.0.0.1");
    EXPECT_EQ(channel.TargetAddress(), "127.0.0.1");
}

TEST(Channel, TooLongSpvtOpensNothing) {
    CommandChannel channel;
    // Nothing listens there: were a connection tried, the result would be a socket error.
    channel.SetTarget("127.255.255.253");
    std::string data(4083, 'x');
    EXPECT_EQ(channel.SendSpvt(P(data), data.size()), SPVT_TOO_LONG);
    EXPECT_EQ(channel.LastError(), 0u);
}

TEST(Channel, UdpOpenBindsWithBroadcastAndTcpOpenFailsClean) {
    CommandChannel channel;
    // Port 0 on any address: an ephemeral port, as discovery opens it.
    ASSERT_EQ(channel.Open(0, IP_PROTOCOL_UDP, 0), CMD_OK);
    channel.Close();

    // Two channels on one address and port: the second bind fails and leaves nothing open.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::string address = "127.66." + std::to_string(std::rand() % 250 + 1) + "." +
                          std::to_string(std::rand() % 250 + 1);
    CommandChannel first, second;
    ASSERT_EQ(first.Open(REPLY_PORT, IP_PROTOCOL_UDP, ParseIPv4Address(address.c_str())), CMD_OK);
    EXPECT_EQ(second.Open(REPLY_PORT, IP_PROTOCOL_UDP, ParseIPv4Address(address.c_str())),
              CMD_SOCKET_ERROR);
    EXPECT_NE(second.LastError(), 0u);
    first.Close();

    CommandChannel tcp;
    EXPECT_EQ(tcp.Open(COMMAND_PORT, IP_PROTOCOL_TCP, ParseIPv4Address("127.254.0.2")),
              CMD_SOCKET_ERROR);
    EXPECT_NE(tcp.LastError(), 0u);
}

TEST(ChannelEvent, AutoResetAcrossThreads) {
    ChannelEvent* event = EventCreate("TOV_TEST_EVENT");
    ASSERT_NE(event, nullptr);
    EXPECT_FALSE(EventWait(event, 10));
    EventSignal(event);
    EXPECT_TRUE(EventWait(event, 10));
    // Auto-reset: one signal releases one wait.
    EXPECT_FALSE(EventWait(event, 10));
    std::thread signaller([event] { EventSignal(event); });
    EXPECT_TRUE(EventWait(event, 10000));
    signaller.join();
    EventClose(event);
}
