// Tests of how stored registry bytes turn into text, flags and the backup folder.
#include "app/settings_rules.h"

#include <gtest/gtest.h>

namespace AppSettings {
namespace {

std::vector<unsigned char> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(RegistryText, StopsAtTheFirstZeroOrTheEnd) {
    EXPECT_EQ(TextFromBytes(Bytes(std::string("10.0.0.7\0junk", 13))), "10.0.0.7");
    EXPECT_EQ(TextFromBytes(Bytes("no terminator")), "no terminator");
    EXPECT_EQ(TextFromBytes(Bytes(std::string("\0abc", 4))), "");
    EXPECT_EQ(TextFromBytes({}), "");
    EXPECT_EQ(TextFromBytes({0xE9, 'x', 0}), "\xE9x");
}

TEST(RegistryText, TrimsWhiteSpaceAtBothEndsOnly) {
    EXPECT_EQ(TrimWhite("  German  "), "German");
    EXPECT_EQ(TrimWhite("\t\r\n\v\f192.168.1.20 \n"), "192.168.1.20");
    EXPECT_EQ(TrimWhite("C:\\Program Files\\Kelvox\\"), "C:\\Program Files\\Kelvox\\");
    EXPECT_EQ(TrimWhite(" a  b "), "a  b");
    EXPECT_EQ(TrimWhite(" \t "), "");
    EXPECT_EQ(TrimWhite(""), "");
    EXPECT_EQ(TrimWhite("x"), "x");
}

TEST(RegistryFlags, FirstByteDecidesExceptForTheWholeDword) {
    const std::vector<unsigned char> dword256 = {0x00, 0x01, 0x00, 0x00};
    EXPECT_FALSE(FlagFromBytes(dword256, false));
    EXPECT_TRUE(FlagFromBytes(dword256, true));
    const std::vector<unsigned char> highByte = {0x00, 0x00, 0x00, 0x80};
    EXPECT_FALSE(FlagFromBytes(highByte, false));
    EXPECT_TRUE(FlagFromBytes(highByte, true));
    EXPECT_TRUE(FlagFromBytes({0x01, 0, 0, 0}, false));
    EXPECT_TRUE(FlagFromBytes({0x01, 0, 0, 0}, true));
    EXPECT_FALSE(FlagFromBytes({0, 0, 0, 0}, true));
    // only four bytes count for the whole value; missing bytes count as zero
    EXPECT_FALSE(FlagFromBytes({0, 0, 0, 0, 1}, true));
    EXPECT_TRUE(FlagFromBytes({0, 2}, true));
    EXPECT_FALSE(FlagFromBytes({}, false));
    EXPECT_FALSE(FlagFromBytes({}, true));
    // a string "0" has the first byte 48: on
    EXPECT_TRUE(FlagFromBytes(Bytes(std::string("0\0", 2)), false));
    EXPECT_EQ(FirstByteCode(dword256), 0);
    EXPECT_EQ(FirstByteCode(Bytes("C:\\")), 67);
    EXPECT_EQ(FirstByteCode({0xFF}), 255);
    EXPECT_EQ(FirstByteCode({}), 0);
}

TEST(FlagRules, OnlyAMissingValueIsStoredAsOne) {
    const std::vector<unsigned char> off = {0, 0, 0, 0};
    const struct {
        bool exists, read;
        bool on, storeOne;
    } cases[] = {
        {false, false, true, true}, // missing, or the key is
        {true, false, true, false}, // there, but its bytes could not be read after its size
        {true, true, false, false}, // read: its bytes decide
    };
    for (const auto& c : cases) {
        const FlagReading flag = ReadFlagFrom(c.exists, c.read, off, false);
        EXPECT_EQ(flag.on, c.on) << c.exists << c.read;
        EXPECT_EQ(flag.storeOne, c.storeOne) << c.exists << c.read;
    }
    EXPECT_TRUE(ReadFlagFrom(true, true, {0, 1}, true).on);
}

TEST(BackupFolderReader, LongerThan259CharactersReadsEmpty) {
    const std::string fits(259, 'b');
    std::vector<unsigned char> stored = Bytes(fits);
    stored.push_back(0);
    ASSERT_EQ(stored.size(), 260u);
    EXPECT_EQ(BackupFolderFromBuffer(true, stored), fits);
    // 260 characters and no room for the zero
    EXPECT_EQ(BackupFolderFromBuffer(true, Bytes(std::string(260, 'b'))), "");
    // did not fit the buffer at all
    EXPECT_EQ(BackupFolderFromBuffer(false, stored), "");
    EXPECT_EQ(BackupFolderFromBuffer(true, Bytes(std::string(300, 'b'))), "");
    EXPECT_EQ(BackupFolderFromBuffer(true, Bytes(std::string("\\My Backup\0", 11))), "\\My Backup");
    // as stored: not trimmed
    EXPECT_EQ(BackupFolderFromBuffer(true, Bytes(" \\My Backup ")), " \\My Backup ");
}

} // namespace
} // namespace AppSettings
