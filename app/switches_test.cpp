// Tests of the switch search, the start modes and the language table.
#include "app/switches.h"

#include <gtest/gtest.h>

#include "app/language.h"
#include "app/settings_rules.h"

namespace app {
namespace {

bool StartSwitches::*const kFlags[] = {
    &StartSwitches::debug,      &StartSwitches::firstDrag,  &StartSwitches::missBackup,
    &StartSwitches::shareSetup, &StartSwitches::backupMenu, &StartSwitches::manage,
    &StartSwitches::backupNow,  &StartSwitches::dashBoard,
};
const char* const kTexts[] = {"-debug",      "-firstDrag", "-missBackup", "-shareSetup",
                              "-backupMenu", "-manage",    "-backupNow",  "-dashBoard"};

TEST(Switches, EachSwitchSetsOnlyItsOwnFlag) {
    for (size_t i = 0; i < 8; ++i) {
        const StartSwitches s =
            ParseSwitches(std::string("\"C:\\Program Files\\tovManager.exe\" ") + kTexts[i]);
        for (size_t j = 0; j < 8; ++j)
            EXPECT_EQ(s.*kFlags[j], i == j) << kTexts[i] << " vs " << kTexts[j];
    }
    const StartSwitches none = ParseSwitches("tovManager.exe");
    for (auto flag : kFlags)
        EXPECT_FALSE(none.*flag);
}

TEST(Switches, FoundAnywhereAsPlainCaseSensitiveText) {
    // inside a longer word
    EXPECT_TRUE(ParseSwitches("tovManager.exe /x-debugging").debug);
    EXPECT_TRUE(ParseSwitches("tovManager.exe --manage=yes").manage);
    // in the program path itself
    const StartSwitches path = ParseSwitches("\"D:\\tools\\-backupNow\\tovManager.exe\"");
    EXPECT_TRUE(path.backupNow);
    EXPECT_FALSE(path.backupMenu);
    // case counts
    const StartSwitches upper = ParseSwitches("tovManager.exe -Debug -firstdrag -MANAGE");
    EXPECT_FALSE(upper.debug);
    EXPECT_FALSE(upper.firstDrag);
    EXPECT_FALSE(upper.manage);
    // order and repetition do not matter; every switch given counts
    const StartSwitches all =
        ParseSwitches("x -dashBoard-debug -manage -shareSetup -manage -backupMenu");
    EXPECT_TRUE(all.dashBoard && all.debug && all.manage && all.shareSetup && all.backupMenu);
    EXPECT_FALSE(all.backupNow || all.firstDrag || all.missBackup);
}

TEST(StartModes, FirstDragWinsOverMissedBackup) {
    const StartSwitches both = ParseSwitches("tovManager.exe -missBackup -firstDrag");
    EXPECT_TRUE(both.missBackup);
    EXPECT_EQ(ChooseStartMode(both), StartMode::FirstDrag);
    EXPECT_STREQ(InstanceName(ChooseStartMode(both)), "zeltovManagerapp firstDrag");

    const StartSwitches missed = ParseSwitches("tovManager.exe -missBackup -debug");
    EXPECT_EQ(ChooseStartMode(missed), StartMode::MissedBackup);
    EXPECT_STREQ(InstanceName(StartMode::MissedBackup), "zeltovManagerapp missBackup");

    const StartSwitches normal = ParseSwitches("tovManager.exe -backupNow -manage");
    EXPECT_EQ(ChooseStartMode(normal), StartMode::Normal);
    EXPECT_STREQ(InstanceName(StartMode::Normal), "zeltovManagerapp");
}

TEST(Languages, ExactTrimmedValueChoosesTheLibrary) {
    struct Case {
        const char* stored;
        const char* library; // null: the program's own resources
        const char* line;
    };
    const Case cases[] = {
        {"Spanish", "tovspa.dll", "LANGUAGE set to SPANISH"},
        {"Italian", "tovita.dll", "LANGUAGE set to ITALIAN"},
        {"German  ", "tovger.dll", "LANGUAGE set to GERMAN"},
        {"\t French\r\n", "tovfra.dll", "LANGUAGE set to FRENCH"},
        {"german", nullptr, nullptr},
        {"GERMAN", nullptr, nullptr},
        {"Ger man", nullptr, nullptr},
        {"Germany", nullptr, nullptr},
        {"English", nullptr, nullptr},
        {"Japanese", nullptr, nullptr},
        {"", nullptr, nullptr},
        {"   ", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const LanguageEntry* entry = FindLanguage(AppSettings::TrimWhite(c.stored));
        if (!c.library) {
            EXPECT_EQ(entry, nullptr) << '"' << c.stored << '"';
            continue;
        }
        ASSERT_NE(entry, nullptr) << '"' << c.stored << '"';
        EXPECT_STREQ(entry->library, c.library);
        EXPECT_STREQ(entry->logLine, c.line);
    }
    // untrimmed, the blanks would keep it English
    EXPECT_EQ(FindLanguage("German  "), nullptr);
}

} // namespace
} // namespace app
