// Tests of the version history paths and the kept-versions file.
#include "backup/memory_platform.h"
#include "backup/version_history.h"

#include <gtest/gtest.h>

namespace backup {
namespace {

class VersionHistoryTest : public ::testing::Test {
protected:
    std::string Path() const { return p.folder + "histKel.txt"; }
    void SetUp() override {
        p.settings["sortFolder"] = "\\\\S\\P";
        p.settings["backupFolder"] = "\\My Backup";
        p.computer = "OFFICE1";
    }
    MemoryPlatform p;
};

TEST_F(VersionHistoryTest, AShareWithoutAnEntryKeepsFive) {
    p.files[Path()].bytes = "\\\\T\\Q\t7\r\n";
    ShareVersionHistory h(&p);
    EXPECT_TRUE(h.Initialised());
    EXPECT_EQ(h.Levels(), 5);
    ShareVersionHistory none(&p);
    p.files.clear();
    EXPECT_EQ(none.ReadLevels(), 5);
}

TEST_F(VersionHistoryTest, SavingKeepsOtherSharesInByteOrder) {
    p.files[Path()].bytes = "\\\\T\\Q\t7\r\n";
    ShareVersionHistory h(&p);
    EXPECT_TRUE(h.SetLevels(3));
    EXPECT_EQ(h.Levels(), 3);
    EXPECT_EQ(p.Content(Path()), "\\\\S\\P\t3\r\n\\\\T\\Q\t7\r\n");
    EXPECT_TRUE(h.SetLevels(10));
    EXPECT_EQ(p.Content(Path()), "\\\\S\\P\t10\r\n\\\\T\\Q\t7\r\n") << "replaced, not added";
    EXPECT_EQ(ShareVersionHistory(&p).Levels(), 10);
    EXPECT_EQ(ShareVersionHistory("\\\\T\\Q\\My Backup\\PC\\C\\x", &p).Levels(), 7);
}

TEST_F(VersionHistoryTest, AFileThatCannotBeReadIsNotSavedOver) {
    const std::string before = "\\\\T\\Q\t7\r\n\\\\U\\R\t2\r\n";
    p.files[Path()].bytes = before;
    ShareVersionHistory h(&p);
    p.shortRead = true;
    EXPECT_FALSE(h.SetLevels(3));
    EXPECT_EQ(p.Content(Path()), before);
    EXPECT_EQ(h.Levels(), 5);
    p.shortRead = false;
    p.failReplace = true;
    EXPECT_FALSE(h.SetLevels(3));
    EXPECT_EQ(h.Levels(), 5) << "the file still says 5";
}

TEST_F(VersionHistoryTest, ReadingKeepsTheFirstValueAndTakesLinesWithoutTab) {
    p.files[Path()].bytes = "b\t2\r\na\t1\r\nb\t9\r\nlonely\r\n\xE4\t4\r\nA\tx\nZ\t8";
    HistoryLevelsFile f(&p);
    EXPECT_TRUE(f.Load());
    std::string v;
    ASSERT_TRUE(f.Lookup("b", &v));
    EXPECT_EQ(v, "2");
    ASSERT_TRUE(f.Lookup("", &v));
    EXPECT_EQ(v, "lonely");
    ASSERT_TRUE(f.Lookup("A", &v));
    EXPECT_EQ(v, "x") << "a bare LF keeps the last character";
    ASSERT_TRUE(f.Lookup("Z", &v));
    EXPECT_EQ(v, "8");
    std::string keys;
    for (const auto& kv : f.Values())
        keys += kv.first + ",";
    EXPECT_EQ(keys, ",A,Z,a,b,\xE4,") << "bytes compare unsigned, upper case first";
}

TEST_F(VersionHistoryTest, AValueThatIsNoNumberReadsAsZero) {
    p.files[Path()].bytes = "\\\\S\\P\tmany\r\n";
    EXPECT_EQ(ShareVersionHistory(&p).Levels(), 0);
    p.files[Path()].bytes = "\\\\S\\P\t4 versions\r\n";
    EXPECT_EQ(ShareVersionHistory(&p).Levels(), 4);
}

TEST_F(VersionHistoryTest, FromTheSettings) {
    ShareVersionHistory h(&p);
    EXPECT_EQ(h.ShareRoot(), "\\\\S\\P");
    EXPECT_EQ(h.BackupRoot(), "\\\\S\\P\\My Backup\\OFFICE1\\");
    EXPECT_EQ(h.LevelFolder(1), "\\\\S\\P\\My Backup\\OFFICE1\\");
    EXPECT_EQ(h.LevelFolder(2), "\\\\S\\P\\My Backup\\OFFICE1\\History\\Level2");
    std::string folder;
    ASSERT_TRUE(h.HistoryFolder(&folder));
    EXPECT_EQ(folder, "\\\\S\\P\\My Backup\\OFFICE1\\History");
    const std::string file = "\\\\S\\P\\My Backup\\OFFICE1\\C\\Data\\Mail\\a.pst";
    EXPECT_EQ(h.PathAtLevel(file, 1), file);
    EXPECT_EQ(h.PathAtLevel(file, 3),
              "\\\\S\\P\\My Backup\\OFFICE1\\History\\Level3\\C\\Data\\Mail\\a.pst");
    EXPECT_EQ(h.LocalPathFor(file), "C:\\Data\\Mail\\a.pst");

    for (const char* missing : {"sortFolder", "backupFolder"}) {
        MemoryPlatform q = p;
        q.settings.erase(missing);
        ShareVersionHistory failed(&q);
        EXPECT_FALSE(failed.Initialised()) << missing;
        EXPECT_EQ(failed.BackupRoot(), "");
        EXPECT_FALSE(failed.HistoryFolder(&folder));
    }
}

TEST_F(VersionHistoryTest, FromAPathOnTheAppliance) {
    const std::string dir = "\\\\S\\P\\My Backup\\OFFICE1\\C\\Data\\Mail";
    ShareVersionHistory h(dir, &p);
    EXPECT_EQ(h.BackupRoot(), "\\\\S\\P\\My Backup\\OFFICE1");
    EXPECT_EQ(h.ShareRoot(), "\\\\S\\P");
    EXPECT_EQ(h.RootEnd(dir), 23);
    EXPECT_EQ(h.RootEnd("\\\\S\\P\\My Backup"), -1);
    std::string trimmed;
    EXPECT_TRUE(h.TrimToBackupFolder(dir, &trimmed));
    EXPECT_EQ(trimmed, "\\\\S\\P\\My Backup");
    EXPECT_FALSE(h.TrimToBackupFolder("\\\\S\\P", &trimmed));
    EXPECT_EQ(h.LevelFolder(1), "\\\\S\\P\\My Backup\\OFFICE1");
    EXPECT_EQ(h.LevelFolder(2), "\\\\S\\P\\My Backup\\OFFICE1\\History\\Level2");
    EXPECT_EQ(h.PathAtLevel(dir, 1), dir);
    EXPECT_EQ(h.PathAtLevel(dir, 10),
              "\\\\S\\P\\My Backup\\OFFICE1\\History\\Level10\\C\\Data\\Mail");
    EXPECT_EQ(h.LocalPathFor(dir), "C:\\Data\\Mail");
    EXPECT_EQ(h.Rebase("C:\\Temp\\TOVRestore", dir),
              "C:\\Temp\\TOVRestore\\My Backup\\OFFICE1\\C\\Data\\Mail");

    ShareVersionHistory computer("\\\\S\\P\\My Backup\\OFFICE1", &p);
    EXPECT_EQ(computer.BackupRoot(), "\\\\S\\P\\My Backup\\OFFICE1");
    ShareVersionHistory shallow("\\\\S\\P", &p);
    EXPECT_EQ(shallow.BackupRoot(), "");
}

TEST_F(VersionHistoryTest, PathsAreCutByCharacterInAMultibyteCodePage) {
    p.leadBytes.Mark(0x81, 0x9F); // the lead bytes of code page 932
    p.leadBytes.Mark(0xE0, 0xFC);
    // Share and computer ソ (0x83 0x5C): the second byte of each is no separator.
    const std::string so = "\x83\x5C";
    const std::string root = "\\\\S\\" + so + "\\My Backup\\" + so;
    ShareVersionHistory h(root + "\\C\\Data", &p);
    EXPECT_EQ(h.BackupRoot(), root);
    EXPECT_EQ(h.ShareRoot(), "\\\\S\\" + so);
    std::string trimmed;
    EXPECT_TRUE(h.TrimToBackupFolder(root + "\\C", &trimmed));
    EXPECT_EQ(trimmed, "\\\\S\\" + so + "\\My Backup");
    EXPECT_EQ(h.LocalPathFor(root + "\\C\\Data\\a.txt"), "C:\\Data\\a.txt");
}

TEST_F(VersionHistoryTest, VersionExistsLooksAtTheLevelFolder) {
    const std::string dir = "\\\\S\\P\\My Backup\\OFFICE1\\C\\Data";
    ShareVersionHistory h(dir, &p);
    FindData d;
    d.size = 42;
    p.found["\\\\S\\P\\My Backup\\OFFICE1\\History\\Level4\\C\\Data\\a.txt"] = d;
    FindData out;
    EXPECT_TRUE(h.VersionExists(dir + "\\a.txt", 4, &out));
    EXPECT_EQ(out.size, 42u);
    EXPECT_FALSE(h.VersionExists(dir + "\\a.txt", 3, &out));
}

} // namespace
} // namespace backup
