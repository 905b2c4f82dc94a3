// Tests of the restore rules: versions and their levels, targets, folder creation, the texts.
#include "backup/memory_platform.h"
#include "backup/restore.h"

#include <gtest/gtest.h>

namespace backup {
namespace {

const std::string kComputer = "\\\\S\\P\\My Backup\\OFFICE1";
const std::string kDir = kComputer + "\\C\\Data";

std::string AtLevel(int level) {
    if (level == 1)
        return kDir + "\\a.pst";
    return kComputer + "\\History\\Level" + std::to_string(level) + "\\C\\Data\\a.pst";
}

TEST(RestoreRules, VersionsAreTheLevelsFoundAndAPositionGivesItsLevel) {
    struct Case {
        std::vector<int> stored;
        std::vector<int> listed;
    };
    const Case cases[] = {
        {{1, 2, 3}, {1, 2, 3}},
        {{1, 3}, {1, 3}},
        {{3, 10}, {3, 10}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        MemoryPlatform p;
        for (int level : c.stored) {
            FindData d;
            d.size = 100u + static_cast<unsigned>(level);
            d.lastWriteTime = 1000u * static_cast<unsigned>(level);
            p.found[AtLevel(level)] = d;
        }
        // a directory of the file's name at level 2 is no version
        FindData folder;
        folder.attributes = kAttrDirectory;
        if (c.stored.size() == 2 && c.stored[0] == 1)
            p.found[AtLevel(2)] = folder;
        const std::vector<FileVersion> v = ListVersions(kDir, "a.pst", &p);
        ASSERT_EQ(v.size(), c.listed.size());
        for (size_t i = 0; i < v.size(); ++i) {
            EXPECT_EQ(v[i].level, c.listed[i]);
            EXPECT_EQ(v[i].data.size, 100u + static_cast<unsigned>(c.listed[i]));
            EXPECT_EQ(LevelAt(v, static_cast<int>(i)), c.listed[i])
                << "the checked position " << i << " restores the level it shows";
        }
        EXPECT_EQ(LevelAt(v, static_cast<int>(v.size())), 0);
        EXPECT_EQ(LevelAt(v, -1), 0);
    }
}

TEST(RestoreRules, AFileOutsideAComputerFolderHasOnlyItsCurrentVersion) {
    MemoryPlatform p;
    p.found["\\\\S\\P\\My Backup\\note.txt"] = FindData();
    p.found["History\\Level2\\\\\\S\\P\\My Backup\\note.txt"] = FindData();
    const std::vector<FileVersion> v = ListVersions("\\\\S\\P\\My Backup", "note.txt", &p);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].level, 1);
}

TEST(RestoreRules, TargetsOriginalAndTemporary) {
    const std::string temp = "C:\\Documents and Settings\\anne\\My Documents\\TOVRestore";
    struct Case {
        std::string dir, prefix, target;
    };
    const Case cases[] = {
        {kDir, "", "C:\\Data\\a.pst"},
        {kDir, temp, temp + "\\My Backup\\OFFICE1\\C\\Data\\a.pst"},
        {kComputer + "\\C", "", "C:\\a.pst"},
        {kComputer + "\\D\\x\\y", "", "D:\\x\\y\\a.pst"},
        {kComputer + "\\D\\x\\y", temp, temp + "\\My Backup\\OFFICE1\\D\\x\\y\\a.pst"},
        // no drive folder below the computer's: no place on this computer
        {kComputer, "", ""},
        {kComputer + "\\Data\\x", "", ""},
        {"\\\\S\\P\\My Backup", "", ""},
        {"\\\\S\\P\\My Backup", temp, temp + "\\My Backup\\a.pst"},
    };
    MemoryPlatform p;
    for (const Case& c : cases)
        EXPECT_EQ(RestoreTarget(c.dir, "a.pst", c.prefix, &p), c.target)
            << c.dir << " " << c.prefix;
}

TEST(RestoreRules, CreateDirectoryTreeStopsAtTheDriveOrTheShare) {
    struct Case {
        std::string path;
        std::vector<std::string> existing;
        bool result;
        std::vector<std::string> tried;
    };
    const Case cases[] = {
        {"C:\\a\\b", {"C:\\a"}, true, {"C:\\a\\b"}},
        {"C:\\a\\b", {}, false, {"C:\\a\\b", "C:\\a", "C:\\a\\b"}},
        {"C:\\a\\b\\c",
         {"C:"},
         true,
         {"C:\\a\\b\\c", "C:\\a\\b", "C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}},
        // the share is never made: the last parent tried is a folder directly in it
        {"\\\\S\\P\\x\\y", {}, false, {"\\\\S\\P\\x\\y", "\\\\S\\P\\x", "\\\\S\\P\\x\\y"}},
        {"\\\\S\\P\\x\\y\\z",
         {"\\\\S\\P", "\\\\S\\P\\x"},
         true,
         {"\\\\S\\P\\x\\y\\z", "\\\\S\\P\\x\\y", "\\\\S\\P\\x\\y\\z"}},
        {"\\\\S\\P\\x\\y", {"\\\\S\\P", "\\\\S\\P\\x"}, true, {"\\\\S\\P\\x\\y"}},
        {"\\\\S\\P", {}, false, {"\\\\S\\P"}},
        {"plain", {}, false, {"plain"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> tried;
        std::vector<std::string> existing = c.existing;
        // a directory is made when its parent is there ("C:" and a share stand for roots)
        auto make = [&](const std::string& path) {
            tried.push_back(path);
            const std::string parent = path.substr(0, path.rfind('\\'));
            for (const std::string& e : existing) {
                if (e == parent) {
                    existing.push_back(path);
                    return true;
                }
            }
            return false;
        };
        EXPECT_EQ(CreateDirectoryTree(c.path, make), c.result) << c.path;
        EXPECT_EQ(tried, c.tried) << c.path;
    }
}

TEST(RestoreRules, SizeTexts) {
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0 Bytes"},
        {1, "1 Bytes"},
        {511, "511 Bytes"},
        {512, "1 KB"},
        {1536, "2 KB"},
        {(1u << 19) - 1, "512 KB"},
        {1u << 19, "1 MB"},
        {3u * (1u << 20) + (1u << 19), "4 MB"},
        {(uint64_t(1) << 29) - 1, "512 MB"},
        {uint64_t(1) << 29, "1 GB"},
        {(uint64_t(5) << 30) + (uint64_t(1) << 29), "6 GB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeText(c.first), c.second) << c.first;
}

TEST(RestoreRules, ModifiedText) {
    LocalTime t;
    t.year = 2025;
    t.month = 3;
    t.day = 4;
    t.weekday = 2;
    t.hour = 22;
    t.minute = 2;
    EXPECT_EQ(ModifiedText(t), "Tuesday, March 04, 2025, 10:02 PM");
    t.hour = 0;
    EXPECT_EQ(ModifiedText(t), "Tuesday, March 04, 2025, 12:02 AM");
}

TEST(RestoreRules, Percentages) {
    struct Case {
        uint64_t total, transferred;
        int percent;
    };
    const Case cases[] = {
        {0, 0, 100},
        {1000, 0, -1},
        {1000, 1, 0},
        {1000, 999, 99},
        {1000, 1000, 100},
        {3, 1, 33},
        {uint64_t(5) << 40, uint64_t(1) << 40, 20},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressPercent(c.total, c.transferred), c.percent)
            << c.total << " " << c.transferred;
    EXPECT_EQ(RestoringText("Restoring file: %1%", 40), "Restoring file: 040%");
    EXPECT_EQ(RestoringText("Restoring file: %1%", 100), "Restoring file: 100%");
    EXPECT_EQ(RestoringText("Ripristino file: %1%", 0), "Ripristino file: 000%");
    EXPECT_EQ(TextBeforePercentOne("Restoring file: %1%"), "Restoring file: ");
}

TEST(RestoreRules, ItemPathsAndTheirParts) {
    const std::string root = "\\\\S\\P\\My Backup";
    EXPECT_EQ(ItemPath(root, {"OFFICE1", "C", "a.pst"}), root + "\\OFFICE1\\C\\a.pst");
    EXPECT_EQ(ItemPath(root, {}), root);
    // a share root given with a backslash at its end
    EXPECT_EQ(ItemPath("\\\\S\\P\\\\My Backup", {"x"}), root + "\\x");
    EXPECT_EQ(DirectoryOf(root + "\\OFFICE1\\C\\a.pst"), root + "\\OFFICE1\\C");
    EXPECT_EQ(NameOf(root + "\\OFFICE1\\C\\a.pst"), "a.pst");
}

TEST(RestoreRules, TheHistoryFolderAndTheEntriesListed) {
    MemoryPlatform p;
    EXPECT_EQ(HiddenHistoryFolder(kComputer, &p), kComputer + "\\History");
    EXPECT_EQ(HiddenHistoryFolder(kDir, &p), kComputer + "\\History");
    EXPECT_EQ(HiddenHistoryFolder("\\\\S\\P\\My Backup", &p), "");
    EXPECT_TRUE(SamePath(kComputer + "\\HISTORY", kComputer + "\\History"));
    EXPECT_FALSE(SamePath(kComputer + "\\Histor", kComputer + "\\History"));
    EXPECT_EQ(ClassifyEntry(".", kAttrDirectory), EntryKind::Skip);
    EXPECT_EQ(ClassifyEntry("..", kAttrDirectory), EntryKind::Skip);
    EXPECT_EQ(ClassifyEntry(".config", kAttrDirectory | 0x20), EntryKind::Folder);
    EXPECT_EQ(ClassifyEntry("C", kAttrDirectory | 0x01), EntryKind::Folder);
    EXPECT_EQ(ClassifyEntry("a.pst", 0x20), EntryKind::File);
}

} // namespace
} // namespace backup
