// Tests of the message dialog's code table: every row and its edges, code lines, buttons, results.
#include "setup/message_table.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "setup/screen_results.h"
#include "setup/test_log.h"

namespace {

using setup::CodeLineForm;

class FakeTexts : public setup::MessageTexts {
public:
    std::string String(int id) override {
        if (id == setup::STR_ERROR_CODE)
            return "Error code: ";
        return "S" + std::to_string(id);
    }
    std::string SystemText(uint32_t code) override {
        ++systemAsked;
        char text[32];
        std::snprintf(text, sizeof text, "system %08X", static_cast<unsigned>(code));
        return text + ending;
    }
    int systemAsked = 0;
    std::string ending; // what the system's texts end with
};

struct ExpectedRow {
    uint32_t first;
    uint32_t last;
    int heading; // 0: the caller's
    int message; // 0: the system's text
    CodeLineForm form;
};

constexpr CodeLineForm P = CodeLineForm::Program;
constexpr CodeLineForm S = CodeLineForm::System;

const ExpectedRow TABLE[] = {
    {0, 0, 0, 0, S},
    {1, 3, 0, 60, P},
    {53, 53, 0, 53, S},
    {1219, 1219, 0, 54, S},
    {1326, 1326, 0, 52, S},
    {0x10000001, 0x10000001, 0, 44, P},
    {0x10000002, 0x10000002, 0, 45, P},
    {0x10000003, 0x10000003, 0, 46, P},
    {0x10000004, 0x10000005, 0, 47, P},
    {0x20000001, 0x20000006, 0, 47, P},
    {0x40000001, 0x40000004, 0, 47, P},
    {0x50000001, 0x50000008, 0, 47, P},
    {0x60000001, 0x60000006, 0, 47, P},
    {0x70000001, 0x70000005, 0, 47, P},
    {0x90000001, 0x90000006, 0, 47, P},
    {0xA0000001, 0xA0000002, 0, 39, P},
    {0xA0000003, 0xA0000003, 0, 40, P},
    {0xA0000004, 0xA0000004, 0, 41, P},
    {0xA0000005, 0xA0000005, 0, 42, P},
    {0xA0000006, 0xA0000006, 0, 43, P},
    {0xA0000007, 0xA0000007, 0, 48, P},
    {0xA0000009, 0xA0000009, 0, 61, P},
    {0xA000000A, 0xA000000A, 0, 14, P},
    {0xAA000010, 0xAA000010, 186, 185, P},
    {0xAA000011, 0xAA000011, 188, 187, P},
    {0xAA000012, 0xAA000012, 190, 189, P},
    {0xAA000013, 0xAA000013, 214, 215, P},
    {0xAB000013, 0xAB000013, 0, 191, P},
    {0xAC000014, 0xAC000014, 206, 193, P},
    {0xAC000015, 0xAC000015, 205, 198, P},
    {0xAC000016, 0xAC000016, 204, 203, P},
    {0xAC000017, 0xAC000017, 210, 211, P},
    {0xAC000018, 0xAC000018, 212, 213, P},
    {0xB0000001, 0xB0000003, 0, 47, P},
    {0xC0000001, 0xC0000004, 0, 60, P},
    {0xFF000001, 0xFF00000B, 0, 47, P},
    {0xFF00000C, 0xFF00000C, 0, 15, P},
    {0xFFFFFFFF, 0xFFFFFFFF, 0, 47, P},
};

const ExpectedRow* RowOf(uint32_t code) {
    for (const ExpectedRow& row : TABLE)
        if (code >= row.first && code <= row.last)
            return &row;
    return nullptr;
}

void ExpectRow(uint32_t code, const ExpectedRow* row) {
    const setup::MessageEntry entry = setup::LookUpMessage(code);
    SCOPED_TRACE(::testing::Message() << std::hex << "code 0x" << code);
    if (row) {
        EXPECT_EQ(entry.headingId, row->heading);
        EXPECT_EQ(entry.messageId, row->message);
        EXPECT_EQ(entry.form, row->form);
    } else {
        EXPECT_EQ(entry.headingId, 0);
        EXPECT_EQ(entry.messageId, 0) << "a code outside the table shows the system's text";
        EXPECT_EQ(entry.form, CodeLineForm::System);
    }
}

TEST(MessageTable, EveryRowHoldsFromItsFirstToItsLastCodeAndNoFurther) {
    for (const ExpectedRow& row : TABLE) {
        ExpectRow(row.first, &row);
        ExpectRow(row.last, &row);
        if (row.last > row.first)
            ExpectRow(row.first + (row.last - row.first) / 2, &row);
        if (row.first > 0)
            ExpectRow(row.first - 1, RowOf(row.first - 1));
        if (row.last < 0xFFFFFFFF)
            ExpectRow(row.last + 1, RowOf(row.last + 1));
    }
    // Gaps inside the families stay with the system's text.
    for (uint32_t code : {4u, 0xA0000008u, 0xA000000Bu, 0xAA000014u, 0xAC000013u, 0xAC000019u,
                          0x30000001u, 0x80000001u, 0xFF00000Du, 0xFFFFFFFEu, 5u, 1327u})
        ExpectRow(code, nullptr);
}

TEST(MessageTable, QuestionModeAndHiddenCodeLineStartAtAA000000) {
    for (uint32_t code : {0u, 1326u, 0xA000000Au, 0xA9FFFFFFu}) {
        EXPECT_FALSE(setup::LookUpMessage(code).question) << std::hex << code;
        EXPECT_TRUE(setup::LookUpMessage(code).codeLineShown) << std::hex << code;
    }
    for (uint32_t code :
         {0xAA000000u, 0xAA000013u, 0xB0000001u, 0xC0000001u, 0xFF00000Cu, 0xFFFFFFFFu}) {
        EXPECT_TRUE(setup::LookUpMessage(code).question) << std::hex << code;
        EXPECT_FALSE(setup::LookUpMessage(code).codeLineShown) << std::hex << code;
    }
}

TEST(MessageTable, ButtonsFollowTheLowDigitOfTheTopByte) {
    struct Case {
        uint32_t code;
        bool leftShown;
        int left;
        int right;
    } cases[] = {
        {0x0A000000, true, 194, 195}, {0xAA000011, true, 194, 195}, {0xFA000001, true, 194, 195},
        {0x0B000000, true, 196, 197}, {0xAB000013, true, 196, 197}, {0xAC000018, false, 0, 37},
        {0x1C000000, false, 0, 37},   {0xA0000007, true, 50, 37},   {0xFF00000C, true, 50, 37},
        {0x09000000, true, 50, 37},   {0x0D000000, true, 50, 37},   {1326, true, 50, 37},
    };
    for (const Case& c : cases) {
        const setup::MessageEntry entry = setup::LookUpMessage(c.code);
        SCOPED_TRACE(::testing::Message() << std::hex << c.code);
        EXPECT_EQ(entry.leftShown, c.leftShown);
        if (c.leftShown) {
            EXPECT_EQ(entry.leftLabelId, c.left);
        }
        EXPECT_EQ(entry.rightLabelId, c.right);
    }
}

TEST(MessageTable, CodeLineForms) {
    EXPECT_EQ(setup::CodeLineValue(0xA0000007, CodeLineForm::Program), "A007");
    EXPECT_EQ(setup::CodeLineValue(0x10000001, CodeLineForm::Program), "1001");
    EXPECT_EQ(setup::CodeLineValue(0x0000FF03, CodeLineForm::Program), "0003");
    EXPECT_EQ(setup::CodeLineValue(1326, CodeLineForm::System), "A0FF - 1326");
    EXPECT_EQ(setup::CodeLineValue(0, CodeLineForm::System), "A0FF - 0");
    EXPECT_EQ(setup::CodeLineValue(0x80070005, CodeLineForm::System), "A0FF - -2147024891");
}

TEST(MessageTable, DeviceHeadingReplacesEveryPercentOne) {
    EXPECT_EQ(setup::DeviceHeading("Shared Storage device: %1", "NAS1(198.51.100.20)"),
              "Shared Storage device: NAS1(198.51.100.20)");
    EXPECT_EQ(setup::DeviceHeading("%1 - %1 %2 100%", "X"), "X - X %2 100%");
    EXPECT_EQ(setup::DeviceHeading("%", "X"), "%");
}

struct Shown {
    setup::PreparedMessage message;
    int systemAsked;
};

Shown Prepare(uint32_t code, const std::string& heading = "Shared Storage device: NAS1") {
    FakeTexts texts;
    setup::PreparedMessage message = setup::PrepareMessage(code, heading, texts);
    return {message, texts.systemAsked};
}

TEST(MessageDialogTexts, TheExamplesOfTheDialog) {
    Shown a = Prepare(0xA0000007);
    EXPECT_EQ(a.message.heading, "Shared Storage device: NAS1");
    EXPECT_EQ(a.message.message, "S48");
    EXPECT_EQ(a.message.codeLine, "Error code: A007");
    EXPECT_TRUE(a.message.codeLineShown);
    EXPECT_EQ(a.message.leftLabel, "S50");
    EXPECT_EQ(a.message.rightLabel, "S37");
    EXPECT_FALSE(a.message.question);

    Shown b = Prepare(1326);
    EXPECT_EQ(b.message.message, "S52");
    EXPECT_EQ(b.message.codeLine, "Error code: A0FF - 1326");
    EXPECT_EQ(b.systemAsked, 0);

    Shown c = Prepare(0xAA000011);
    EXPECT_EQ(c.message.heading, "S188");
    EXPECT_EQ(c.message.message, "S187");
    EXPECT_FALSE(c.message.codeLineShown);
    EXPECT_EQ(c.message.codeLine, "");
    EXPECT_EQ(c.message.leftLabel, "S194");
    EXPECT_EQ(c.message.rightLabel, "S195");
    EXPECT_TRUE(c.message.question);

    Shown d = Prepare(0xAB000013, "caller");
    EXPECT_EQ(d.message.heading, "caller");
    EXPECT_EQ(d.message.message, "S191");
    EXPECT_FALSE(d.message.codeLineShown);
    EXPECT_EQ(d.message.leftLabel, "S196");
    EXPECT_EQ(d.message.rightLabel, "S197");

    Shown e = Prepare(0xAC000018, "");
    EXPECT_EQ(e.message.heading, "S212");
    EXPECT_EQ(e.message.message, "S213");
    EXPECT_FALSE(e.message.leftShown);
    EXPECT_EQ(e.message.leftLabel, "");
    EXPECT_EQ(e.message.rightLabel, "S37");
    EXPECT_TRUE(e.message.question);

    Shown f = Prepare(0xFF00000C, "Shared Storage device: NAS1(198.51.100.20)");
    EXPECT_EQ(f.message.heading, "Shared Storage device: NAS1(198.51.100.20)");
    EXPECT_EQ(f.message.message, "S15");
    EXPECT_FALSE(f.message.codeLineShown);
    EXPECT_EQ(f.message.leftLabel, "S50");
    EXPECT_EQ(f.message.rightLabel, "S37");
    EXPECT_TRUE(f.message.question);
}

TEST(MessageDialogTexts, SystemTextIsLoggedWithTheSignedCode) {
    setup_test::LogCapture log;
    Shown zero = Prepare(0);
    EXPECT_EQ(zero.message.message, "system 00000000");
    EXPECT_EQ(zero.message.codeLine, "Error code: A0FF - 0");
    EXPECT_EQ(zero.systemAsked, 1);

    Shown unknown = Prepare(0x80070005);
    EXPECT_EQ(unknown.message.message, "system 80070005");
    EXPECT_EQ(unknown.message.codeLine, "Error code: A0FF - -2147024891");
    EXPECT_EQ(unknown.message.leftLabel, "S50");

    // Table strings are never logged.
    Prepare(0xA0000007);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                               "Error Encountered: 0 system 00000000",
                               "Error Encountered: -2147024891 system 80070005",
                           }));
}

TEST(MessageDialogTexts, SystemTextKeepsItsLineBreakOnTheScreenButNotInTheLog) {
    setup_test::LogCapture log;
    FakeTexts texts;
    texts.ending = "\r\n";
    const setup::PreparedMessage shown = setup::PrepareMessage(5, "H", texts);
    EXPECT_EQ(shown.message, "system 00000005\r\n");
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Error Encountered: 5 system 00000005"}));
}

TEST(MessageDialogButtons, ResultsAndTheSupportPage) {
    using setup::MessageButton;
    setup::ButtonOutcome ok = setup::PressMessageButton(false, MessageButton::Right);
    EXPECT_TRUE(ok.ends);
    EXPECT_EQ(ok.result, setup::RESULT_SETUP_FAILED);

    setup::ButtonOutcome help = setup::PressMessageButton(false, MessageButton::Left);
    EXPECT_FALSE(help.ends);
    EXPECT_TRUE(help.openSupport);

    setup::ButtonOutcome yes = setup::PressMessageButton(true, MessageButton::Right);
    EXPECT_TRUE(yes.ends);
    EXPECT_EQ(yes.result, setup::RESULT_YES);

    // 0xFF00000C's Help is in question mode: 129, and nothing is opened.
    setup::ButtonOutcome no = setup::PressMessageButton(true, MessageButton::Left);
    EXPECT_TRUE(no.ends);
    EXPECT_EQ(no.result, setup::RESULT_NO);
    EXPECT_FALSE(no.openSupport);

    for (bool question : {false, true}) {
        setup::ButtonOutcome close = setup::PressMessageButton(question, MessageButton::Close);
        EXPECT_TRUE(close.ends);
        EXPECT_EQ(close.result, setup::RESULT_CLOSE);
        EXPECT_FALSE(close.openSupport);
    }
    EXPECT_EQ(setup::EnterButton(true), MessageButton::Left);
    EXPECT_EQ(setup::EnterButton(false), MessageButton::Right);
}

} // namespace
