// Tests of the data-file base: loading, line reading and the all-or-nothing save.
#include "backup/app_data_file.h"
#include "backup/memory_platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace backup {
namespace {

// Records the lines the readers see and writes a fixed content.
class LinesFile : public AppDataFile {
public:
    explicit LinesFile(Platform* p) : AppDataFile(p) { UseDefaultName(); }
    bool UseDefaultName() override { return SetName("lines.txt"); }
    bool Parse() override {
        lines.clear();
        std::string line;
        while (ReadLine(&line)) {
            lines.push_back(line);
            if (!NextLine())
                break;
        }
        return parseResult;
    }
    bool WriteContents(WriteHandle& h) override {
        for (const std::string& l : out) {
            if (!WriteLine(h, l))
                return false;
        }
        return true;
    }
    std::vector<std::string> lines, out;
    bool parseResult = true;
};

class AppDataFileTest : public ::testing::Test {
protected:
    std::string Path() const { return p.folder + "lines.txt"; }
    void Put(const std::string& bytes) { p.files[Path()].bytes = bytes; }
    MemoryPlatform p;
};

TEST_F(AppDataFileTest, NameGoesIntoTheDataFolderOrStandsAloneWithoutOne) {
    EXPECT_EQ(LinesFile(&p).Path(), "C:\\Data\\Kelvox\\TOV\\lines.txt");
    p.folder.clear();
    EXPECT_EQ(LinesFile(&p).Path(), "lines.txt");
}

TEST_F(AppDataFileTest, ReadRefusesMissingFoldersOfflineHugeAndShortFiles) {
    LinesFile f(&p);
    EXPECT_FALSE(f.Read()) << "missing";
    Put("a\r\n");
    EXPECT_TRUE(f.Read());
    EXPECT_EQ(f.lines, std::vector<std::string>{"a"});
    for (uint32_t attr : {kAttrDirectory, kAttrOffline | kAttrNormal}) {
        p.files[Path()].attributes = attr;
        EXPECT_FALSE(f.Read()) << attr;
    }
    p.files[Path()].attributes = kAttrNormal;
    p.files[Path()].sizeHigh = 1;
    EXPECT_FALSE(f.Read()) << "4 GiB or more";
    p.files[Path()].sizeHigh = 0;
    p.shortRead = true;
    f.lines.clear();
    EXPECT_FALSE(f.Read()) << "short read";
    EXPECT_TRUE(f.lines.empty()) << "no parse after a short read";
    p.shortRead = false;
    f.parseResult = false;
    EXPECT_FALSE(f.Read()) << "the result is the parser's";
}

TEST_F(AppDataFileTest, LinesDropCarriageReturnsAndSkipRunsOfLineFeeds) {
    LinesFile f(&p);
    Put("one\r\ntw\ro\r\n\n\nthree\nlast");
    ASSERT_TRUE(f.Read());
    EXPECT_EQ(f.lines, (std::vector<std::string>{"one", "two", "three", "last"}));
    Put("");
    ASSERT_TRUE(f.Read());
    EXPECT_TRUE(f.lines.empty());
    Put("\r\n\r\nx\r\n");
    ASSERT_TRUE(f.Read());
    EXPECT_EQ(f.lines, (std::vector<std::string>{"", "", "x"}));
    p.files[Path()].bytes = std::string("a\r\nb\0hidden\r\n", 13);
    ASSERT_TRUE(f.Read());
    EXPECT_EQ(f.lines, (std::vector<std::string>{"a", "b"})) << "a zero byte ends the text";
}

TEST_F(AppDataFileTest, SaveWritesCrLfLinesAndReplacesTheWholeFile) {
    Put("old content that is longer\r\n");
    LinesFile f(&p);
    f.out = {"x", "", "y z"};
    EXPECT_TRUE(f.Save());
    EXPECT_EQ(p.Content(Path()), "x\r\n\r\ny z\r\n");
}

TEST_F(AppDataFileTest, FailedWriteMidwayLeavesThePreviousFileByteForByte) {
    const std::string before = "first\r\nsecond\r\n";
    Put(before);
    LinesFile f(&p);
    f.out = {"new 1", "new 2", "new 3"};
    p.failWriteAfter = 8; // the second line fails
    EXPECT_FALSE(f.Save());
    EXPECT_EQ(p.Content(Path()), before);
    p.failReplace = true;
    EXPECT_FALSE(f.Save()) << "a failed replace is a failed save";
    EXPECT_EQ(p.Content(Path()), before);
}

TEST_F(AppDataFileTest, WriterDroppedWithoutCloseLeavesNothingChanged) {
    LinesFile f(&p);
    {
        auto h = f.OpenForWrite(kAttrNormal, kCreateAlways, false);
        ASSERT_TRUE(h);
        EXPECT_TRUE(AppDataFile::WriteLine(*h, "half"));
    }
    EXPECT_EQ(p.Content(Path()), "<missing>");
}

TEST_F(AppDataFileTest, SecondWriterFailsWhileTheFirstIsOpen) {
    LinesFile a(&p), b(&p);
    auto h = a.OpenForWrite(kAttrNormal, kCreateAlways, false);
    ASSERT_TRUE(h);
    EXPECT_FALSE(b.OpenForWrite(kAttrNormal, kCreateAlways, false));
    b.out = {"b"};
    EXPECT_FALSE(b.Save());
    EXPECT_TRUE(AppDataFile::WriteText(*h, "a"));
    EXPECT_TRUE(h->Close());
    EXPECT_EQ(p.Content(Path()), "a");
    EXPECT_TRUE(b.Save()) << "free again once the first writer closed";
    EXPECT_EQ(p.Content(Path()), "b\r\n");
}

TEST_F(AppDataFileTest, AppendKeepsWhatIsThere) {
    Put("kept\r\n");
    LinesFile f(&p);
    f.out = {"added"};
    EXPECT_TRUE(f.Save(kAttrNormal, kOpenAlways, true));
    EXPECT_EQ(p.Content(Path()), "kept\r\nadded\r\n");
}

} // namespace
} // namespace backup
