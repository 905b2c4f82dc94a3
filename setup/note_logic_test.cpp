// Tests of the no-password note's decisions over a fake appliance channel.
#include "setup/note_logic.h"

#include <gtest/gtest.h>

namespace {

class FakeNoteChannel : public setup::NoteChannel {
public:
    uint32_t SendFrst(uint32_t& status) override {
        ++frstSent;
        if (frstResult == CMD_OK)
            status = frstStatus;
        return frstResult;
    }
    uint32_t SendHost(const std::string& text2, const std::string& text3,
                      const std::string& text4) override {
        hostFields.push_back({text2, text3, text4});
        return hostResult;
    }

    uint32_t frstResult = CMD_OK;
    uint32_t frstStatus = 0;
    uint32_t hostResult = 0;
    int frstSent = 0;
    std::vector<std::vector<std::string>> hostFields;
};

TEST(Note, APasswordSetOrAFailedExchangeSkipsTheNoteWithoutHost) {
    for (uint32_t status : {1u, 0x20000001u, 0xFFFFFFFFu}) {
        FakeNoteChannel channel;
        channel.frstStatus = status;
        const setup::NoteOpening opening =
            setup::OpenNote(channel, "NAS1", "198.51.100.20", "English");
        EXPECT_EQ(opening.action, setup::NoteAction::Skip) << status;
        EXPECT_TRUE(channel.hostFields.empty());
    }
    for (uint32_t failure : {CMD_TIMEOUT, CMD_SOCKET_ERROR, CMD_STARTUP_FAILED, CMD_BAD_REPLY}) {
        FakeNoteChannel channel;
        channel.frstResult = failure;
        channel.frstStatus = 0; // left untouched by the failed exchange
        EXPECT_EQ(setup::OpenNote(channel, "NAS1", "198.51.100.20", "English").action,
                  setup::NoteAction::Skip)
            << failure;
        EXPECT_TRUE(channel.hostFields.empty());
    }
}

TEST(Note, NoPasswordSendsHostWithTheLanguageCodeAndShows) {
    FakeNoteChannel channel;
    const setup::NoteOpening opening = setup::OpenNote(channel, "NAS1", "198.51.100.20", "German");
    EXPECT_EQ(opening.action, setup::NoteAction::Show);
    EXPECT_EQ(channel.frstSent, 1);
    EXPECT_EQ(channel.hostFields, (std::vector<std::vector<std::string>>{{"", "", "ge"}}));
}

TEST(Note, AFailedHostShowsItsCodeUnderNameAndAddress) {
    FakeNoteChannel channel;
    channel.hostResult = CMD_TIMEOUT;
    const setup::NoteOpening opening = setup::OpenNote(channel, "NAS1", "198.51.100.20", "English");
    EXPECT_EQ(opening.action, setup::NoteAction::ShowMessage);
    EXPECT_EQ(opening.code, CMD_TIMEOUT);
    EXPECT_EQ(opening.device, "NAS1(198.51.100.20)");
}

TEST(Note, LanguageCodeManageAddressAndEnter) {
    EXPECT_EQ(setup::LanguageCode("English"), "en");
    EXPECT_EQ(setup::LanguageCode("JAPANESE"), "ja");
    EXPECT_EQ(setup::LanguageCode("F"), "f");
    // no "Language" value: the program's own English screens
    EXPECT_EQ(setup::LanguageCode(""), "en");
    EXPECT_EQ(setup::ManageAddress("198.51.100.20"), "http:\\\\198.51.100.20/setup/index.asp");
    EXPECT_EQ(setup::NoteEnterButton(true), setup::NoteButton::Manage);
    EXPECT_EQ(setup::NoteEnterButton(false), setup::NoteButton::Next);
}

} // namespace
