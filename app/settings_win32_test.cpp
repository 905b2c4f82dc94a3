// The settings against the real registry of the Wine prefix: defaults, flags, strings, the
// backup files' fixed buffer, grouped writes and the read log lines.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/settings.h"
#include "app/test_registry_win32.h"

namespace {

using namespace frame_test;

void StoreDword(const char* name, DWORD value) {
    Store(HKEY_CURRENT_USER, name, REG_DWORD, &value, sizeof value);
}

// What is stored now: false when the value (or the key) is missing.
bool Stored(HKEY root, const char* name, DWORD* type, std::vector<unsigned char>* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data->assign(size ? size : 1, 0);
        status = RegQueryValueExA(key, name, nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void ExpectStoredDword(const char* name, DWORD expected) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(Stored(HKEY_CURRENT_USER, name, &type, &data)) << name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
    ASSERT_EQ(data.size(), 4u) << name;
    DWORD value = 0;
    std::memcpy(&value, data.data(), 4);
    EXPECT_EQ(value, expected) << name;
}

bool UserValueExists(const char* name) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    return Stored(HKEY_CURRENT_USER, name, &type, &data);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { DeleteProductKeys(); }
    void TearDown() override { DeleteProductKeys(); }
};

TEST_F(Settings, MissingKeyGivesDefaultsAndFlagsAreWrittenAsOne) {
    std::string text = "untouched";
    EXPECT_FALSE(AppSettings::ReadString(AppSettings::Root::CurrentUser, "CurrentIP", &text));
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentHostName"), "");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::LocalMachine, "Language"), "");
    EXPECT_EQ(AppSettings::ReadBackupFolder(), "");
    const AppSettings::RawValue raw =
        AppSettings::ReadRaw(AppSettings::Root::LocalMachine, "installDirectory");
    EXPECT_FALSE(raw.sized);
    EXPECT_FALSE(raw.read);
    // reading strings never creates anything
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);

    // the key cannot be opened: each flag is on and now stored as 1
    for (const char* flag : {"EnableSort", "SortMyFolder", "tagOn"}) {
        SCOPED_TRACE(flag);
        EXPECT_TRUE(AppSettings::ReadFlag(flag));
        ExpectStoredDword(flag, 1);
    }
    // the key exists now; a missing value alone also counts as missing
    SHDeleteValueA(HKEY_CURRENT_USER, kKey, "SortMyFolder");
    EXPECT_TRUE(AppSettings::ReadFlag("SortMyFolder"));
    ExpectStoredDword("SortMyFolder", 1);
    // nothing else was written
    EXPECT_FALSE(UserValueExists("CurrentIP"));
    EXPECT_FALSE(UserValueExists("FirstDrag"));
}

TEST_F(Settings, ExistingFlagsAreDecidedByTheirBytesAndNeverRewritten) {
    StoreDword("EnableSort", 256); // first byte 0
    StoreDword("SortMyFolder", 0);
    StoreDword("tagOn", 256); // the whole value counts
    EXPECT_FALSE(AppSettings::ReadFlag("EnableSort"));
    EXPECT_FALSE(AppSettings::ReadFlag("SortMyFolder"));
    EXPECT_TRUE(AppSettings::ReadFlag("tagOn"));
    ExpectStoredDword("EnableSort", 256);
    ExpectStoredDword("SortMyFolder", 0);
    ExpectStoredDword("tagOn", 256);

    StoreDword("EnableSort", 0x101);
    StoreDword("tagOn", 0);
    EXPECT_TRUE(AppSettings::ReadFlag("EnableSort"));
    EXPECT_FALSE(AppSettings::ReadFlag("tagOn"));
    ExpectStoredDword("tagOn", 0);

    // stored in another type: still the bytes decide, and the value stays as it is
    const unsigned char five[] = {0, 0, 0, 0, 1};
    Store(HKEY_CURRENT_USER, "tagOn", REG_BINARY, five, sizeof five);
    EXPECT_FALSE(AppSettings::ReadFlag("tagOn"));
    StoreString(HKEY_CURRENT_USER, "SortMyFolder", "0");
    EXPECT_TRUE(AppSettings::ReadFlag("SortMyFolder"));
    DWORD type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(Stored(HKEY_CURRENT_USER, "tagOn", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data.size(), 5u);
}

TEST_F(Settings, StringsAreStoredWithTheirZeroAndReadUpToIt) {
    AppSettings::WriteString("CurrentIP", " \t198.51.100.20 \r\n");
    DWORD type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(Stored(HKEY_CURRENT_USER, "CurrentIP", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string(" \t198.51.100.20 \r\n\0", 19));

    std::string text;
    ASSERT_TRUE(AppSettings::ReadString(AppSettings::Root::CurrentUser, "CurrentIP", &text));
    EXPECT_EQ(text, " \t198.51.100.20 \r\n");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentIP"),
              "198.51.100.20");

    // the bytes up to the first zero, or all of them when there is none
    Store(HKEY_CURRENT_USER, "CurrentHostName", REG_BINARY, "NAS1\0old", 8);
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentHostName"), "NAS1");
    Store(HKEY_CURRENT_USER, "CurrentHostName", REG_BINARY, "NAS2", 4);
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentHostName"), "NAS2");
    // an empty string exists, it is not missing
    AppSettings::WriteString("ShortCut", "");
    text = "x";
    EXPECT_TRUE(AppSettings::ReadString(AppSettings::Root::CurrentUser, "ShortCut", &text));
    EXPECT_EQ(text, "");

    // the machine values are read from the machine root, not the user's
    StoreString(HKEY_LOCAL_MACHINE, "Language", "German  ");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::LocalMachine, "Language"), "German");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "Language"), "");
    const AppSettings::RawValue raw =
        AppSettings::ReadRaw(AppSettings::Root::LocalMachine, "Language");
    EXPECT_TRUE(raw.sized && raw.read);
    EXPECT_EQ(raw.size, 9u);
    EXPECT_EQ(raw.type, static_cast<uint32_t>(REG_SZ));
}

TEST_F(Settings, BackupFilesReadBackupFolderThroughA260ByteBuffer) {
    const std::string fits = "\\" + std::string(258, 'f');
    AppSettings::WriteString("backupFolder", fits);
    EXPECT_EQ(AppSettings::ReadBackupFolder(), fits);

    const std::string tooLong = "\\" + std::string(259, 'f');
    AppSettings::WriteString("backupFolder", tooLong);
    EXPECT_EQ(AppSettings::ReadBackupFolder(), "");
    // the general reader is not limited
    std::string text;
    ASSERT_TRUE(AppSettings::ReadString(AppSettings::Root::CurrentUser, "backupFolder", &text));
    EXPECT_EQ(text, tooLong);

    // 260 characters stored without their zero fill the buffer exactly: still too long
    Store(HKEY_CURRENT_USER, "backupFolder", REG_SZ, tooLong.data(), tooLong.size());
    EXPECT_EQ(AppSettings::ReadBackupFolder(), "");

    AppSettings::WriteString("backupFolder", " \\My Backup ");
    EXPECT_EQ(AppSettings::ReadBackupFolder(), " \\My Backup ");
}

TEST_F(Settings, GroupedWritesStoreEveryValue) {
    AppSettings::WriteShareSetup("\\\\NAS1\\anna", "\\My Backup", "X:");
    AppSettings::WriteSortFlags(false, true);
    AppSettings::WriteCurrentAppliance("198.51.100.20", "NAS1");
    AppSettings::WriteDwords({{"businessSort", 1}});
    AppSettings::WriteStrings({{"PublicSortFolder", "\\\\NAS1\\PUBLIC"}, {"FirstDrag", "FALSE"}});
    const struct {
        const char* name;
        const char* text;
    } strings[] = {{"sortFolder", "\\\\NAS1\\anna"},
                   {"backupFolder", "\\My Backup"},
                   {"shareDriveLetter", "X:"},
                   {"CurrentIP", "198.51.100.20"},
                   {"CurrentHostName", "NAS1"},
                   {"PublicSortFolder", "\\\\NAS1\\PUBLIC"},
                   {"FirstDrag", "FALSE"}};
    for (const auto& s : strings) {
        std::string text;
        EXPECT_TRUE(AppSettings::ReadString(AppSettings::Root::CurrentUser, s.name, &text));
        EXPECT_EQ(text, s.text) << s.name;
    }
    ExpectStoredDword("EnableSort", 0);
    ExpectStoredDword("SortMyFolder", 1);
    ExpectStoredDword("businessSort", 1);
    EXPECT_FALSE(AppSettings::ReadFlag("EnableSort"));
    EXPECT_TRUE(AppSettings::ReadFlag("SortMyFolder"));
}

TEST_F(Settings, FlagReadersLogSizeAndFirstByte) {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "tov_flag_read.log";
    InitLog(0xFFFF, path.c_str());
    StoreDword("EnableSort", 256);
    StoreDword("SortMyFolder", 0x2A);
    StoreDword("tagOn", 5);
    EXPECT_FALSE(AppSettings::ReadFlag("EnableSort"));
    EXPECT_TRUE(AppSettings::ReadFlag("SortMyFolder"));
    EXPECT_TRUE(AppSettings::ReadFlag("tagOn"));
    SHDeleteValueA(HKEY_CURRENT_USER, kKey, "EnableSort");
    EXPECT_TRUE(AppSettings::ReadFlag("EnableSort"));
    InitLog(0, "");

    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        ASSERT_GE(line.size(), 23u) << line;
        EXPECT_EQ(line.back(), '\r');
        texts.push_back(line.substr(22, line.size() - 23));
    }
    in.close();
    DeleteFileA(path.c_str());
    // "tagOn" logs nothing; a missing value has no size to log
    const std::vector<std::string> expected = {
        "  Read Ena/Dis Sort Size 4 bytes", "  Read Ena/Dis Sort Value -->0<--",
        "  Read Ena/Dis Sort Folder Size 4 bytes", "  Read Ena/Dis Sort Folder Value -->42<--"};
    EXPECT_EQ(texts, expected);
}

} // namespace
