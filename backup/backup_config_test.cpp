// Tests of the backup selection file: normalisation, entry parsing, look-ups and rewriting.
#include "backup/backup_config.h"
#include "backup/memory_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace backup {
namespace {

std::string Normalised(const std::string& text) {
    std::vector<char> b(text.begin(), text.end());
    b.resize(text.size() + 5, '\0');
    uint32_t n = NormaliseSelectionText(b.data(), static_cast<uint32_t>(text.size()));
    EXPECT_EQ(b[n], '\0');
    EXPECT_EQ(std::strlen(b.data()), n);
    return std::string(b.data(), n);
}

class BackupConfigTest : public ::testing::Test {
protected:
    std::string Path() const { return p.folder + "KelBackConfig.txt"; }
    void Put(const std::string& bytes) { p.files[Path()].bytes = bytes; }
    void SetUp() override { p.settings["backupFolder"] = "\\My Backup"; }
    MemoryPlatform p;
};

TEST(SelectionTextTest, WhiteSpaceAroundLinesAndFieldsGoes) {
    EXPECT_EQ(Normalised(""), "\n");
    EXPECT_EQ(Normalised("a\tb\r\n"), "a\tb\n");
    EXPECT_EQ(Normalised("a \t b\r\n\r\n\r\n  c\t d  \r\n"), "a\tb\nc\td\n");
    EXPECT_EQ(Normalised("a b\t\tc d\n"), "a b\tc d\n") << "blanks inside a field stay";
    EXPECT_EQ(Normalised("x\t \t y\tz"), "x\ty\tz\n");
    EXPECT_EQ(Normalised("\r\nline"), "\nline\n") << "the first byte is always kept";
    EXPECT_EQ(Normalised(" a"), " a\n") << "nothing comes before the first byte";
    EXPECT_EQ(Normalised(std::string("a\0b", 3)), "a\nb\n");
}

TEST_F(BackupConfigTest, EntriesParseWithTheirFlags) {
    Put("C:\\A\t\\\\S\\P\\x\r\nC:\\A\\B\t\\\\S\\P\\y\t1\r\nD:\\\t\\\\S\\P\\z\t 7\r\n"
        "E:\\\t\\\\S\\P\\e\tjunk\r\n");
    BackupConfig c(&p);
    ASSERT_EQ(c.Entries().size(), 4u);
    EXPECT_EQ(c.Entries()[0].source, "C:\\A");
    EXPECT_EQ(c.Entries()[0].destination, "\\\\S\\P\\x");
    EXPECT_EQ(c.Entries()[0].flag, 0);
    EXPECT_EQ(c.Entries()[1].flag, 1);
    EXPECT_EQ(c.Entries()[2].flag, 7);
    EXPECT_EQ(c.Entries()[3].flag, 0) << "no digits read as 0";
    EXPECT_TRUE(c.Load());
}

TEST_F(BackupConfigTest, BlanksOnBothSidesOfTheTabAreOneSeparator) {
    Put("C:\\A  \t  \\\\S\\P\\x\r\n");
    BackupConfig c(&p);
    EXPECT_TRUE(c.Load());
    ASSERT_EQ(c.Entries().size(), 1u);
    EXPECT_EQ(c.Entries()[0].source, "C:\\A");
    EXPECT_EQ(c.Entries()[0].destination, "\\\\S\\P\\x");
    EXPECT_EQ(c.Entries()[0].flag, 0);
}

TEST_F(BackupConfigTest, BadFilesLoadNothingOrStopAtTheFirstBadLine) {
    BackupConfig missing(&p);
    EXPECT_FALSE(missing.Load());
    EXPECT_TRUE(missing.Entries().empty());

    Put("");
    BackupConfig empty(&p);
    EXPECT_FALSE(empty.Load()) << "a 0-byte file is one empty line";
    EXPECT_TRUE(empty.Entries().empty());

    Put("\r\nC:\\A\t\\\\S\\P\\x\r\n");
    BackupConfig leading(&p);
    EXPECT_FALSE(leading.Load()) << "the first line is empty and has no TAB";
    EXPECT_TRUE(leading.Entries().empty());

    Put("C:\\A\t\\\\S\\P\\x\r\nno tab here\r\nC:\\B\t\\\\S\\P\\y\r\n");
    BackupConfig broken(&p);
    EXPECT_FALSE(broken.Load());
    ASSERT_EQ(broken.Entries().size(), 1u) << "entries before the bad line stay";
    EXPECT_EQ(broken.Entries()[0].source, "C:\\A");

    p.files[Path()].attributes = kAttrDirectory;
    BackupConfig directory(&p);
    EXPECT_TRUE(directory.Entries().empty());
}

TEST_F(BackupConfigTest, LookUpsScanFromTheLastEntryAndMatchTheRoot) {
    Put("C:\\A\t\\\\S\\P\\My Backup\\PC\\C\\A\r\n"
        "C:\\A\\X\t\\\\S\\P\\My Backup\\PC\\C\\A\\X\t1\r\n"
        "C:\\B\t\\\\T\\Q\\My Backup\\PC\\C\\B\r\n"
        "C:\\A\t\\\\S\\P\\My Backup\\PC\\C\\A\t2\r\n");
    BackupConfig c(&p);
    const std::string s = "\\\\S\\P";
    EXPECT_EQ(c.FindEntry("C:\\A", s), -1) << "the last matching entry decides";
    EXPECT_EQ(c.FindEntry("C:\\A\\X", s), -1);
    EXPECT_EQ(c.FindEntry("C:\\B", s), 0) << "belongs to another share";
    EXPECT_EQ(c.FindEntry("C:\\B", "\\\\T\\Q"), 1);
    EXPECT_EQ(c.FindEntry("c:\\b", "\\\\T\\Q"), 0) << "case-sensitive";
    EXPECT_EQ(c.FindIncludedBelow("C:\\", "\\\\T\\Q"), 1);
    EXPECT_EQ(c.FindIncludedBelow("C:\\", s), 0) << "the last one, flag 2, decides";
    EXPECT_EQ(c.FindIncludedBelow("D:\\", s), 0);
    EXPECT_TRUE(c.HasDestinationContaining(s));
    EXPECT_TRUE(c.HasDestinationContaining("\\\\T\\Q"));
    EXPECT_FALSE(c.HasDestinationContaining("\\\\U\\R"));
    EXPECT_FALSE(c.HasDestinationContaining(""));
}

TEST_F(BackupConfigTest, DestinationIsPrefixAndSourceWithoutColons) {
    p.computer = "OFFICE1";
    ShareBackupConfig c("\\\\STORE\\Public", &p);
    EXPECT_EQ(c.DestinationPrefix(), "\\\\STORE\\Public\\My Backup\\OFFICE1\\");
    EXPECT_EQ(c.DestinationFor("C:\\Data\\Mail"),
              "\\\\STORE\\Public\\My Backup\\OFFICE1\\C\\Data\\Mail");
    EXPECT_EQ(c.DestinationFor("C:\\a:b:\\c:"), "\\\\STORE\\Public\\My Backup\\OFFICE1\\C\\ab\\c");
    p.settings.erase("backupFolder");
    ShareBackupConfig bare("\\\\STORE\\Public", &p);
    EXPECT_EQ(bare.DestinationPrefix(), "\\\\STORE\\Public\\OFFICE1\\") << "missing: empty";
    p.settings["backupFolder"] = std::string(260, 'x');
    ShareBackupConfig tooLong("\\\\STORE\\Public", &p);
    EXPECT_EQ(tooLong.DestinationPrefix(), "\\\\STORE\\Public\\OFFICE1\\");
}

TEST_F(BackupConfigTest, RewriteKeepsOtherSharesAndWritesFlagsWithOneOrTwoTabs) {
    p.computer = "PC";
    Put("C:\\A\t\\\\S\\P\\My Backup\\PC\\C\\A\r\n"
        "C:\\Q\t\\\\T\\Q\\My Backup\\PC\\C\\Q\t1\r\n"
        "C:\\A\\B\t\\\\S\\P\\My Backup\\PC\\C\\A\\B\t1\r\n"
        "D:\\R\t\\\\T\\Q\\My Backup\\PC\\D\\R\r\n");
    ShareBackupConfig c("\\\\S\\P", &p);
    ASSERT_EQ(c.Entries().size(), 4u);
    auto h = c.RewriteKeepingOthers();
    ASSERT_TRUE(h);
    EXPECT_EQ(c.Entries().size(), 2u);
    EXPECT_TRUE(c.AddEntry(*h, "E:\\New", 0));
    EXPECT_TRUE(c.AddEntry(*h, "E:\\New\\Out", 1));
    ASSERT_TRUE(h->Close());
    EXPECT_EQ(p.Content(Path()), "C:\\Q\t\\\\T\\Q\\My Backup\\PC\\C\\Q\t1\r\n"
                                 "D:\\R\t\\\\T\\Q\\My Backup\\PC\\D\\R\r\n"
                                 "E:\\New\t\\\\S\\P\\My Backup\\PC\\E\\New\r\n"
                                 "E:\\New\\Out\t\\\\S\\P\\My Backup\\PC\\E\\New\\Out\t1\r\n");
    ASSERT_EQ(c.Entries().size(), 4u);
    EXPECT_EQ(c.Entries()[3].flag, 1);
    ShareBackupConfig again("\\\\S\\P", &p);
    EXPECT_TRUE(again.Load());
    EXPECT_EQ(again.FindEntry("E:\\New"), 1);
    EXPECT_EQ(again.FindEntry("E:\\New\\Out"), -1);
    EXPECT_EQ(again.FindEntry("C:\\A"), 0);
    EXPECT_EQ(again.FindEntry("C:\\Q", "\\\\T\\Q"), -1);
}

TEST_F(BackupConfigTest, RewriteThatFailsLeavesTheFileAndTheListAlone) {
    const std::string before = "C:\\A\t\\\\S\\P\\My Backup\\OFFICE1\\C\\A\r\n";
    Put(before);
    ShareBackupConfig c("\\\\S\\P", &p);
    ShareBackupConfig other("\\\\T\\Q", &p);
    {
        auto h = c.RewriteKeepingOthers();
        ASSERT_TRUE(h);
        EXPECT_FALSE(BackupConfig(&p).Load()) << "readers are shut out while it is written";
        EXPECT_FALSE(other.RewriteKeepingOthers()) << "a second writer fails to open";
        EXPECT_EQ(other.Entries().size(), 1u);
        p.failWriteAfter = 0;
        EXPECT_FALSE(c.AddEntry(*h, "C:\\B", 0));
        EXPECT_FALSE(h->Close());
    }
    EXPECT_EQ(p.Content(Path()), before);
}

TEST_F(BackupConfigTest, AnEmptyShareRootDropsNothing) {
    const std::string before = "C:\\A\t\\\\S\\P\\My Backup\\OFFICE1\\C\\A\r\n";
    Put(before);
    ShareBackupConfig c("", &p);
    auto h = c.RewriteKeepingOthers();
    ASSERT_TRUE(h);
    ASSERT_TRUE(h->Close());
    EXPECT_EQ(p.Content(Path()), before);
}

TEST_F(BackupConfigTest, AppendItemAddsAtTheEnd) {
    Put("C:\\A\t\\\\T\\Q\\x\r\n");
    ShareBackupConfig c("\\\\S\\P", &p);
    auto h = c.OpenForWrite(kAttrNormal, kOpenAlways, true);
    ASSERT_TRUE(h);
    BackupEntry item;
    item.source = "F:\\";
    item.flag = 1;
    EXPECT_TRUE(c.AppendItem(*h, item));
    ASSERT_TRUE(h->Close());
    EXPECT_EQ(p.Content(Path()),
              "C:\\A\t\\\\T\\Q\\x\r\nF:\\\t\\\\S\\P\\My Backup\\OFFICE1\\F\\\t1\r\n");
}

TEST_F(BackupConfigTest, SnapshotCopiesOverTheOldOne) {
    Put("C:\\A\t\\\\S\\P\\x\r\n");
    p.files[p.folder + "KelBackConfig_tmp.txt"].bytes = "stale";
    EXPECT_TRUE(SnapshotBackupConfig(&p));
    EXPECT_EQ(p.Content(p.folder + "KelBackConfig_tmp.txt"), "C:\\A\t\\\\S\\P\\x\r\n");
}

TEST_F(BackupConfigTest, RewriteReadsOnPastMalformedLinesAndKeepsThemAside) {
    p.computer = "PC";
    const std::string bad = p.folder + "KelBackConfig_bad.txt";
    p.files[bad].bytes = "earlier\r\n";
    Put("\r\nC:\\A\t\\\\S\\P\\My Backup\\PC\\C\\A\r\nno tab here\r\n"
        "C:\\Q\t\\\\T\\Q\\My Backup\\PC\\C\\Q\t1\r\nnor here\r\n"
        "C:\\B\t\\\\S\\P\\My Backup\\PC\\C\\B\r\nC:\\X\t\\\\S\\PX\\My Backup\\PC\\C\\X\r\n");
    ShareBackupConfig c("\\\\S\\P", &p);
    EXPECT_TRUE(c.Entries().empty()) << "readers still stop at the empty first line";
    auto h = c.RewriteKeepingOthers();
    ASSERT_TRUE(h);
    ASSERT_TRUE(c.AddEntry(*h, "E:\\New", 0));
    ASSERT_TRUE(h->Close());
    EXPECT_EQ(p.Content(Path()), "C:\\Q\t\\\\T\\Q\\My Backup\\PC\\C\\Q\t1\r\n"
                                 "C:\\X\t\\\\S\\PX\\My Backup\\PC\\C\\X\r\n"
                                 "E:\\New\t\\\\S\\P\\My Backup\\PC\\E\\New\r\n")
        << "share PX is another share than P";
    EXPECT_EQ(p.Content(bad), "earlier\r\nno tab here\r\nnor here\r\n");
}

TEST_F(BackupConfigTest, NothingIsWrittenOverAFileThatCannotBeReadOrLinesThatCannotBeKept) {
    const std::string before = "C:\\Q\t\\\\T\\Q\\x\r\nodd line\r\n";
    Put(before);
    ShareBackupConfig c("\\\\S\\P", &p);
    p.shortRead = true;
    EXPECT_FALSE(c.RewriteKeepingOthers());
    p.shortRead = false;
    p.failWriteAfter = 0; // the side file cannot take the odd line
    EXPECT_FALSE(c.RewriteKeepingOthers());
    EXPECT_EQ(p.Content(Path()), before);
    EXPECT_EQ(c.Entries().size(), 1u);
    p.files.clear();
    EXPECT_TRUE(c.RewriteKeepingOthers()) << "a missing file is simply made";
}

TEST_F(BackupConfigTest, SaveWritesTheEntriesAndAFailedSaveLeavesTheListAsTheFileIs) {
    const std::string before =
        "C:\\A\t\\\\S\\P\\My Backup\\OFFICE1\\C\\A\t1\r\nC:\\Q\t\\\\T\\Q\\x\r\n";
    Put(before);
    BackupConfig plain(&p);
    p.files.clear();
    EXPECT_TRUE(plain.Save());
    EXPECT_EQ(p.Content(Path()), before);

    ShareBackupConfig c("\\\\S\\P", &p);
    p.failReplace = true;
    auto h = c.RewriteKeepingOthers();
    ASSERT_TRUE(h);
    EXPECT_TRUE(c.AddEntry(*h, "D:\\New", 0));
    EXPECT_FALSE(h->Close());
    EXPECT_EQ(c.Entries().size(), 2u) << "the replace failed: the file holds the two entries";
    EXPECT_EQ(c.FindEntry("C:\\A"), -1);
    auto append = c.OpenForWrite(kAttrNormal, kOpenAlways, true);
    EXPECT_TRUE(c.AppendItem(*append, BackupEntry{"F:\\", "", 0}));
    append.reset();
    EXPECT_EQ(c.Entries().size(), 2u) << "dropped unclosed";
}

TEST_F(BackupConfigTest, NamesAreCutByCharacterInAMultibyteCodePage) {
    p.leadBytes.Mark(0x81, 0x9F); // the lead bytes of code page 932
    p.leadBytes.Mark(0xE0, 0xFC);
    p.settings.erase("backupFolder");
    p.computer = "PC";
    // Share ソ (0x83 0x5C) of appliance S: from the second byte of ソ on, its destinations hold
    // the bytes of "\\PC\C", and appliance PC's share C must not take them for its own.
    const std::string entry = "C:\\Data\t\\\\S\\\x83\x5C\\PC\\C\\Data\r\n";
    Put(entry);
    ShareBackupConfig c("\\\\PC\\C", &p);
    EXPECT_EQ(c.FindEntry("C:\\Data", "\\\\PC\\C"), 0);
    EXPECT_FALSE(c.HasDestinationContaining("\\\\S\\\x83")) << "half a character";
    auto h = c.RewriteKeepingOthers();
    ASSERT_TRUE(h);
    ASSERT_TRUE(h->Close());
    EXPECT_EQ(p.Content(Path()), entry);
}

TEST(LeadingIntTest, ReadsLikeTheCLibraryWithoutOverflow) {
    auto read = [](const std::string& s) { return LeadingInt(s.data(), s.data() + s.size()); };
    EXPECT_EQ(read(" 12x"), 12);
    EXPECT_EQ(read("-3"), -3);
    EXPECT_EQ(read("x1"), 0);
    EXPECT_EQ(read(""), 0);
    EXPECT_EQ(read("99999999999999"), INT32_MAX);
    EXPECT_EQ(read("-99999999999999"), INT32_MIN);
}

} // namespace
} // namespace backup
