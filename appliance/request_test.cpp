// Checks the simulator's request reader on whole, partial and malformed frames.
#include "appliance/request.h"

#include <gtest/gtest.h>

#include <string>

using appliance::ParseOutcome;
using appliance::ParseRequest;
using appliance::Request;

namespace {

ParseOutcome Parse(const std::string& bytes, Request* r, size_t* used) {
    return ParseRequest(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), r, used);
}

std::string Header(const char* word, uint32_t count) {
    return std::string(word, 4) + " " + appliance::LE32(count) + "\n";
}

} // namespace

TEST(ApplianceRequest, ReadsTextFieldsAndStopsAtTheirEnd) {
    std::string frame = Header("crat", 2) + "abcd\npass1234\n";
    Request r;
    size_t used = 0;
    ASSERT_EQ(Parse(frame, &r, &used), ParseOutcome::Complete);
    EXPECT_EQ(used, 24u);
    EXPECT_EQ(r.word, "crat");
    ASSERT_EQ(r.fields.size(), 2u);
    EXPECT_EQ(r.fields[0], "abcd");
    EXPECT_EQ(r.fields[1], "pass1234");
    // Every shorter prefix asks for more rather than guessing.
    for (size_t n = 0; n < frame.size(); ++n)
        EXPECT_EQ(Parse(frame.substr(0, n), &r, &used), ParseOutcome::NeedMore) << n;
}

TEST(ApplianceRequest, EmptyFieldsAndFieldlessCommands) {
    Request r;
    size_t used = 0;
    ASSERT_EQ(Parse(Header("shar", 3) + "bob\nbob\n\n", &r, &used), ParseOutcome::Complete);
    EXPECT_EQ(r.fields[2], "");
    ASSERT_EQ(Parse(Header("gsp1", 1) + "x\n", &r, &used), ParseOutcome::Complete);
    EXPECT_EQ(r.word, "gsp1");
    ASSERT_EQ(Parse(Header("frst", 0), &r, &used), ParseOutcome::Complete);
    EXPECT_EQ(used, 10u);
    EXPECT_TRUE(r.fields.empty());
}

TEST(ApplianceRequest, SpvtBlockMayHoldNewlines) {
    std::string data("\n\n\0\n", 4);
    std::string frame = Header("spvt", 2) + appliance::LE32(4) + "\n" + data + "\n";
    Request r;
    size_t used = 0;
    ASSERT_EQ(Parse(frame, &r, &used), ParseOutcome::Complete);
    EXPECT_EQ(used, 20u);
    ASSERT_EQ(r.fields.size(), 2u);
    EXPECT_EQ(appliance::ReadLE32(r.fields[0]), 4u);
    EXPECT_EQ(r.fields[1], data);
    EXPECT_EQ(Parse(frame.substr(0, 19), &r, &used), ParseOutcome::NeedMore);
    std::string badEnd = frame;
    badEnd[19] = 'x';
    EXPECT_EQ(Parse(badEnd, &r, &used), ParseOutcome::Invalid);
    std::string tooLong = Header("spvt", 2) + appliance::LE32(4083) + "\n";
    EXPECT_EQ(Parse(tooLong, &r, &used), ParseOutcome::Invalid);
}

TEST(ApplianceRequest, RejectsMalformedHeaders) {
    Request r;
    size_t used = 0;
    EXPECT_EQ(Parse("CRAT " + appliance::LE32(0) + "\n", &r, &used), ParseOutcome::Invalid);
    EXPECT_EQ(Parse("frst-" + appliance::LE32(0) + "\n", &r, &used), ParseOutcome::Invalid);
    EXPECT_EQ(Parse("frst " + appliance::LE32(0) + "x", &r, &used), ParseOutcome::Invalid);
    EXPECT_EQ(Parse(Header("crat", 1000), &r, &used), ParseOutcome::Invalid);
    std::string dscr = Header("dscr", 1) + appliance::LE32(2) + "x";
    EXPECT_EQ(Parse(dscr, &r, &used), ParseOutcome::Invalid);
}
