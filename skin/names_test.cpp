// Tests of the controls' names: a button named after its label, and a text as a reader says it.
#include "skin/names.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

TEST(ControlNames, AButtonIsNamedAfterItsLabelAndReadAsTheLabelIsDrawn) {
    const struct {
        const char* label;
        bool noPrefix;
        const char* name;   // the button's window text
        const char* spoken; // what a reader says of it
    } cases[] = {
        {"Next", false, "Next", "Next"},
        {"BACKUP\n&& RESTORE", false, "BACKUP && RESTORE", "BACKUP & RESTORE"},
        {"SICHERN &&\nWIEDERHER.", false, "SICHERN && WIEDERHER.", "SICHERN & WIEDERHER."},
        {"SHARED\nSTORAGE\nSETUP", false, "SHARED STORAGE SETUP", "SHARED STORAGE SETUP"},
        {"Vistrel\xe2\x84\xa2 \nStorage && Backup Status", false,
         "Vistrel\xe2\x84\xa2 Storage && Backup Status",
         "Vistrel\xe2\x84\xa2 Storage & Backup Status"},
        {"Manage Digital Photos, Music,\r\nand Video", false,
         "Manage Digital Photos, Music, and Video", "Manage Digital Photos, Music, and Video"},
        // a label that draws "&" as it stands: the button's text doubles it
        {"Tom & Jerry", true, "Tom && Jerry", "Tom & Jerry"},
        {"  \n", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        const std::string name = ButtonNameFromLabel(c.label, c.noPrefix);
        EXPECT_EQ(name, c.name) << c.label;
        EXPECT_EQ(SpokenName(name, false), c.spoken) << c.label;
    }
}

TEST(ControlNames, ASingleAmpersandMarksAShortcutAndIsNotSaid) {
    EXPECT_EQ(SpokenName("&Save", false), "Save");
    EXPECT_EQ(SpokenName("Save &", false), "Save ");
    EXPECT_EQ(SpokenName("A&&&B", false), "A&B");
    EXPECT_EQ(SpokenName("Tom & Jerry", true), "Tom & Jerry");
    EXPECT_EQ(SpokenName("C:\\Data\n&&More", true), "C:\\Data &&More");
}

} // namespace
} // namespace skin
