// Tests of the Windows file layer under the real file system: access, sharing and the safe save.
#include "backup/backup_config.h"
#include "backup/platform_win32.h"
#include "backup/schedule_config.h"
#include "backup/version_history.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>

namespace backup {
namespace {

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The temporary files of saves in dir, which every save removes again.
int SavingFiles(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "\\*.saving").c_str(), &data);
    int n = h == INVALID_HANDLE_VALUE ? 0 : 1;
    while (n > 0 && FindNextFileA(h, &data))
        ++n;
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    return n;
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(OpenAccessTest, DescriptorHasAPresentNullDaclAndIsNotInherited) {
    OpenAccessAttributes a;
    SECURITY_ATTRIBUTES* sa = a.get();
    EXPECT_EQ(sa->nLength, sizeof(SECURITY_ATTRIBUTES));
    EXPECT_FALSE(sa->bInheritHandle);
    ASSERT_TRUE(IsValidSecurityDescriptor(sa->lpSecurityDescriptor));
    BOOL present = FALSE, defaulted = TRUE;
    PACL dacl = reinterpret_cast<PACL>(&present);
    ASSERT_TRUE(GetSecurityDescriptorDacl(sa->lpSecurityDescriptor, &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_EQ(dacl, nullptr);
    EXPECT_FALSE(defaulted);
}

class Win32PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, tmp), 0u);
        dir_ = std::string(tmp) + "tovbk" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(dir_.c_str(), nullptr);
        path_ = dir_ + "\\KelBackConfig.txt";
    }
    void TearDown() override {
        for (const std::string& f : {path_, path_ + ".saving", dir_ + "\\copy.txt"})
            DeleteFileA(f.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::unique_ptr<WriteHandle> Writer() {
        return p_.OpenWrite(path_, kAttrNormal, kCreateAlways, false);
    }
    HANDLE OpenShared(DWORD share) {
        return CreateFileA(path_.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    Win32Platform p_;
    std::string dir_, path_;
};

TEST_F(Win32PlatformTest, DataFolderIsCreatedBelowTheCommonApplicationData) {
    std::string folder = p_.DataFolder();
    ASSERT_GT(folder.size(), 13u);
    EXPECT_EQ(folder.substr(folder.size() - 12), "\\Kelvox\\TOV\\");
    DWORD attr = GetFileAttributesA(folder.c_str());
    ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attr & FILE_ATTRIBUTE_DIRECTORY);
    // Gone again (when nothing is in it), it comes back on the next use.
    if (RemoveDirectoryA(folder.c_str())) {
        EXPECT_FALSE(Exists(folder));
        EXPECT_EQ(p_.DataFolder(), folder);
        EXPECT_TRUE(Exists(folder));
    }
    ScheduleConfig s(&p_);
    EXPECT_EQ(s.Path(), folder + "schedConfig.txt");
    ASSERT_TRUE(s.Save());
    EXPECT_EQ(Content(folder + "schedConfig.txt"), "on\r\n0\r\n22\r\n127\r\n\r\n");
    EXPECT_TRUE(ScheduleConfig(&p_).Loaded());
    DeleteFileA((folder + "schedConfig.txt").c_str());
}

TEST_F(Win32PlatformTest, ComputerNameFitsSixteenCharacters) {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &n));
    std::string got = p_.ComputerName();
    EXPECT_FALSE(got.empty());
    EXPECT_LE(got.size(), 16u);
    EXPECT_EQ(got, std::string(name));
}

TEST_F(Win32PlatformTest, SavedFileHasANullDaclAndExactBytes) {
    ShareBackupConfig c("\\\\S\\P", path_, &p_);
    auto h = c.RewriteKeepingOthers();
    ASSERT_TRUE(h);
    ASSERT_TRUE(c.AddEntry(*h, "C:\\Data\\Mail", 0));
    ASSERT_TRUE(c.AddEntry(*h, "C:\\Data\\Mail\\Old", 1));
    ASSERT_TRUE(h->Close());
    const std::string prefix = "\\\\S\\P\\" + p_.ComputerName() + "\\";
    EXPECT_EQ(Content(path_), "C:\\Data\\Mail\t" + prefix +
                                  "C\\Data\\Mail\r\nC:\\Data\\Mail\\Old\t" + prefix +
                                  "C\\Data\\Mail\\Old\t1\r\n");
    EXPECT_EQ(SavingFiles(dir_), 0);

    // Wine keeps no descriptor of its own on files: it maps it to Unix permissions at creation
    // (less the umask) and reports one built from them, so only Windows shows the null DACL.
    DWORD need = 0;
    GetFileSecurityA(path_.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &need);
    ASSERT_GT(need, 0u);
    std::string sd(need, '\0');
    ASSERT_TRUE(GetFileSecurityA(path_.c_str(), DACL_SECURITY_INFORMATION, &sd[0], need, &need));
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(&sd[0], &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    if (!UnderWine()) {
        EXPECT_EQ(dacl, nullptr) << "every user has full access";
    }

    ShareBackupConfig back("\\\\S\\P", path_, &p_);
    EXPECT_TRUE(back.Load());
    EXPECT_EQ(back.FindEntry("C:\\Data\\Mail\\Old"), -1);
}

TEST_F(Win32PlatformTest, WhileWritingASecondWriterFailsAndReadersSeeTheOldFile) {
    Put(path_, "old\r\n");
    auto first = Writer();
    ASSERT_TRUE(first);
    ASSERT_TRUE(first->Write("new\r\n", 5));

    SetLastError(0);
    EXPECT_FALSE(Writer());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    HANDLE plain = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(plain, INVALID_HANDLE_VALUE) << "a plain create-or-truncate writer fails as well";
    if (plain != INVALID_HANDLE_VALUE)
        CloseHandle(plain);

    // A reader that shares reading only is refused, as by any writer of the file.
    HANDLE strict = OpenShared(FILE_SHARE_READ);
    EXPECT_EQ(strict, INVALID_HANDLE_VALUE);
    if (strict != INVALID_HANDLE_VALUE)
        CloseHandle(strict);
    // One that shares writing reads the previous content whole.
    HANDLE lenient = OpenShared(FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(lenient, INVALID_HANDLE_VALUE);
    char buf[16] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(lenient, buf, sizeof buf, &got, nullptr));
    CloseHandle(lenient);
    EXPECT_EQ(std::string(buf, got), "old\r\n");

    EXPECT_TRUE(first->Close());
    EXPECT_EQ(Content(path_), "new\r\n");
    auto next = Writer();
    EXPECT_TRUE(next) << "free once the first writer closed";
}

TEST_F(Win32PlatformTest, AWriteThatFailsMidwayLeavesTheOldFileByteForByte) {
    const std::string before = "C:\\A\t\\\\S\\P\\PC\\C\\A\r\nC:\\B\t\\\\T\\Q\\PC\\C\\B\t1\r\n";
    Put(path_, before);
    p_.failWriteAfter = 10;
    ScheduleConfig s(&p_);
    s.SetPath(path_);
    EXPECT_FALSE(s.Save());
    EXPECT_EQ(Content(path_), before);
    EXPECT_EQ(SavingFiles(dir_), 0);
    p_.failWriteAfter = -1;
    EXPECT_TRUE(s.Save());
    EXPECT_EQ(Content(path_), "on\r\n0\r\n22\r\n127\r\n\r\n");
}

TEST_F(Win32PlatformTest, AWriterThatNeverClosesChangesNothing) {
    Put(path_, "kept");
    {
        auto h = Writer();
        ASSERT_TRUE(h);
        EXPECT_TRUE(h->Write("lost", 4));
    }
    EXPECT_EQ(Content(path_), "kept");
    DeleteFileA(path_.c_str());
    {
        auto h = Writer();
        ASSERT_TRUE(h);
    }
    EXPECT_FALSE(Exists(path_)) << "no file before, none after";
    EXPECT_EQ(SavingFiles(dir_), 0);
}

TEST_F(Win32PlatformTest, AReaderHoldingTheFileAtReplaceTimeFailsTheSaveNotTheFile) {
    Put(path_, "old");
    auto h = Writer();
    ASSERT_TRUE(h);
    ASSERT_TRUE(h->Write("new", 3));
    HANDLE reader = OpenShared(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    // Neither Windows nor Wine replaces a file that is open; the save fails, the file stays whole.
    EXPECT_FALSE(h->Close());
    CloseHandle(reader);
    EXPECT_EQ(Content(path_), "old");
    EXPECT_EQ(SavingFiles(dir_), 0);
}

TEST_F(Win32PlatformTest, AnotherWritersTemporaryFileIsNeitherReusedNorRemoved) {
    // The file of a writer that is saving the same file as this one at the same time.
    const std::string theirs = path_ + ".saving";
    HANDLE other = CreateFileA(theirs.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(other, "theirs", 6, &done, nullptr));
    for (long failAfter : {2L, -1L}) {
        p_.failWriteAfter = failAfter;
        auto h = Writer();
        ASSERT_TRUE(h);
        bool wrote = h->Write("mine", 4);
        EXPECT_EQ(wrote && h->Close(), failAfter < 0);
    }
    CloseHandle(other);
    EXPECT_EQ(Content(path_), "mine");
    EXPECT_EQ(Content(theirs), "theirs");
    EXPECT_EQ(SavingFiles(dir_), 1);
}

TEST_F(Win32PlatformTest, NamesAreCutByCharacterInTheCodePageTheSystemTells) {
    EXPECT_TRUE(CodePageLeadBytes(932).IsLead(0x83));
    EXPECT_FALSE(CodePageLeadBytes(932).IsLead(0x5C));
    EXPECT_FALSE(CodePageLeadBytes(1252).IsLead(0x83));
    p_.codePage = 932;
    // Computer ソ (0x83 0x5C): its second byte is no separator.
    ShareVersionHistory h("\\\\S\\P\\My Backup\\\x83\x5C\\C\\Data", &p_);
    EXPECT_EQ(h.BackupRoot(), "\\\\S\\P\\My Backup\\\x83\x5C");
}

TEST_F(Win32PlatformTest, AppendingOpeningsKeepTheContent) {
    Put(path_, "C:\\A\t\\\\T\\Q\\x\r\n");
    ShareBackupConfig c("\\\\S\\P", path_, &p_);
    auto h = c.OpenForWrite(kAttrNormal, kOpenAlways, true);
    ASSERT_TRUE(h);
    BackupEntry e;
    e.source = "D:\\";
    ASSERT_TRUE(c.AppendItem(*h, e));
    ASSERT_TRUE(h->Close());
    EXPECT_EQ(Content(path_),
              "C:\\A\t\\\\T\\Q\\x\r\nD:\\\t\\\\S\\P\\" + p_.ComputerName() + "\\D\\\r\n");
}

TEST_F(Win32PlatformTest, ReadRefusesDirectoriesAndMissingFiles) {
    BackupConfig missing(path_, &p_);
    EXPECT_FALSE(missing.Load());
    BackupConfig folder(dir_, &p_);
    EXPECT_FALSE(folder.Load());
    Put(path_, "");
    BackupConfig empty(path_, &p_);
    EXPECT_FALSE(empty.Load());
    EXPECT_TRUE(empty.Entries().empty());
}

TEST_F(Win32PlatformTest, FindReportsSizeAndTimeAndCopyReplaces) {
    Put(path_, "12345");
    FindData d;
    ASSERT_TRUE(p_.Find(path_, &d));
    EXPECT_EQ(d.size, 5u);
    EXPECT_NE(d.lastWriteTime, 0u);
    EXPECT_FALSE(p_.Find(path_ + "x", &d));
    Put(dir_ + "\\copy.txt", "stale content");
    EXPECT_TRUE(p_.CopyOver(path_, dir_ + "\\copy.txt"));
    EXPECT_EQ(Content(dir_ + "\\copy.txt"), "12345");
}

TEST_F(Win32PlatformTest, SettingsComeThroughTheReader) {
    Win32Platform none;
    std::string v;
    EXPECT_FALSE(none.UserSetting("sortFolder", &v));
    Win32Platform some([](const char* name, std::string* out) {
        *out = std::string("value of ") + name;
        return true;
    });
    ASSERT_TRUE(some.UserSetting("sortFolder", &v));
    EXPECT_EQ(v, "value of sortFolder");
}

} // namespace
} // namespace backup
