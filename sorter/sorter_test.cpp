// The sorter's rules and its look at the root over a file system of the test's own: folders by
// type and account, what stays, clashes, settling, files in use, the off switch, the public
// share and the first-drag start.
#include "sorter/sorter.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "setup/test_log.h"

namespace sorter {
namespace {

TEST(SortRules, TypesGoToTheirAccountsFoldersAndUnknownOnesStay) {
    const struct {
        const char* name;
        bool business;
        const char* folder; // null: no category
    } rows[] = {
        {"Holiday.JPG", false, "\\My Photos"},
        {"song.mp3", false, "\\My Music"},
        {"song.mp3", true, "\\My Multimedia"},
        {"film.Avi", true, "\\My Multimedia"},
        {"sums.xls", false, "\\My Documents"},
        {"sums.xls", true, "\\My Spreadsheets"},
        {"talk.pptx", true, "\\My Presentations"},
        {"archive.tar.gz", false, "\\My Software"},
        {"page.html", false, "\\My Sites"},
        {"notes.xyz", false, nullptr},
        {"README", false, nullptr},
        {".jpg", false, nullptr},
        {"photo.jpg.part", false, nullptr},
    };
    for (const auto& row : rows) {
        Category category = Category::Documents;
        ASSERT_EQ(CategoryOf(row.name, &category), row.folder != nullptr) << row.name;
        if (row.folder) {
            EXPECT_STREQ(FolderFor(category, row.business).myName, row.folder) << row.name;
        }
    }
    EXPECT_STREQ(FolderFor(Category::Music, false).ourName, "\\Our Music");
    EXPECT_EQ(PublicShortcutName("\\\\NAS1\\Public\\"), "Public.lnk");
}

TEST(SortRules, NumberedNamesAndSettling) {
    EXPECT_EQ(NumberedName("archive.tar.gz", 3), "archive.tar (3).gz");
    EXPECT_EQ(NumberedName(".profile", 2), ".profile (2)");
    SettleWatch watch(1000);
    RootEntry file{"song.mp3"};
    EXPECT_FALSE(watch.Settled(file, 0));
    file.size = 20; // still being written: the time starts again
    EXPECT_FALSE(watch.Settled(file, 1500));
    EXPECT_FALSE(watch.Settled(file, 2499));
    EXPECT_TRUE(watch.Settled(file, 2500));
    watch.KeepOnly({}); // gone from the root and back: seen anew
    EXPECT_FALSE(watch.Settled(file, 9000));
}

class FakeSystem : public SortSystem {
public:
    void Drop(const std::string& path, uint64_t size = 1) {
        RootEntry entry;
        entry.name = path.substr(path.rfind('\\') + 1);
        entry.size = size;
        entry.hidden = entry.name[0] == '_';
        files[path] = entry;
    }
    bool Has(const std::string& path) const { return files.count(path) != 0; }

    bool List(const std::string& folder, std::vector<RootEntry>* entries) override {
        const auto inFolder = [&](const std::string& path) {
            return path.compare(0, folder.size(), folder) == 0 &&
                   path.find('\\', folder.size()) == std::string::npos;
        };
        for (const auto& f : files) {
            if (inFolder(f.first))
                entries->push_back(f.second);
        }
        for (const std::string& d : folders) {
            if (inFolder(d))
                entries->push_back(RootEntry{d.substr(folder.size()), true});
        }
        return true;
    }
    bool MakeFolder(const std::string& path) override { return folders.insert(path), true; }
    MoveResult Move(const std::string& from, const std::string& to, bool otherShare) override {
        lastOtherShare = otherShare;
        if (busy.count(from))
            return MoveResult::Busy;
        if (files.count(to))
            return MoveResult::Taken;
        files[to] = files.at(from);
        files.erase(from);
        return MoveResult::Moved;
    }
    // a language whose photo folder has a name of its own
    std::string FolderName(int id, const char* english) override {
        return id == 67 ? "\\Mis fotos" : english;
    }
    void StartFirstDragNotice() override { ++notices; }

    std::map<std::string, RootEntry> files;
    std::set<std::string> folders;
    std::set<std::string> busy;
    bool lastOtherShare = false;
    int notices = 0;
};

class SorterPass : public ::testing::Test {
protected:
    SorterPass() {
        config.root = "X:";
        config.account = SortConfig::Account::Home;
        config.publicFolder = "\\\\NAS1\\Public";
    }
    // Two looks a settle time apart: the first sees the files, the second moves them.
    int TwoLooks() {
        EXPECT_EQ(sorter.Pass(config, now).moved, 0);
        now += SETTLE_MILLISECONDS;
        return sorter.Pass(config, now).moved;
    }

    setup_test::LogCapture log;
    FakeSystem fs;
    Sorter sorter{fs};
    SortConfig config;
    uint64_t now = 0;
};

TEST_F(SorterPass, SettledFilesGoToLocalisedFoldersTheRestIsLoggedOnceTheNoticeStartsOnce) {
    fs.Drop("X:\\a.jpg");
    fs.Drop("X:\\b.mp3");
    fs.Drop("X:\\c.xyz");
    fs.Drop("X:\\Public.lnk");
    fs.folders.insert("X:\\Stuff");
    EXPECT_EQ(TwoLooks(), 2);
    EXPECT_TRUE(fs.Has("X:\\Mis fotos\\a.jpg"));
    EXPECT_TRUE(fs.Has("X:\\My Music\\b.mp3"));
    EXPECT_TRUE(fs.Has("X:\\c.xyz"));
    EXPECT_EQ(fs.notices, 1);
    fs.Drop("X:\\d.doc");
    EXPECT_EQ(TwoLooks(), 1);
    EXPECT_EQ(fs.notices, 1) << "the notice starts on the first sort only";
    EXPECT_EQ(log.Count("Watching <X:\\>"), 1u);
    EXPECT_TRUE(log.Has("Sorted <a.jpg> to <X:\\Mis fotos\\a.jpg>"));
    EXPECT_EQ(log.Count("  Left at the root, no category for its type: <c.xyz>"), 1u);
    EXPECT_EQ(log.Count("  Left at the root, kept by the set-up: <Public.lnk>"), 1u);
    EXPECT_EQ(log.Count("  Left at the root, a folder: <Stuff>"), 1u);
    EXPECT_EQ(log.Count("  Left at the root, a folder: <Mis fotos>"), 0u);
}

TEST_F(SorterPass, TakenNamesGetANumberAndFilesInUseWaitForANewSettleTime) {
    fs.Drop("X:\\My Documents\\letter.doc", 5);
    fs.Drop("X:\\My Documents\\letter (2).doc", 6);
    fs.Drop("X:\\letter.doc", 7);
    fs.Drop("X:\\held.txt");
    fs.busy.insert("X:\\held.txt");
    EXPECT_EQ(TwoLooks(), 1);
    EXPECT_EQ(fs.files.at("X:\\My Documents\\letter (3).doc").size, 7u);
    EXPECT_EQ(fs.files.at("X:\\My Documents\\letter.doc").size, 5u);
    // still held at its next try: logged once; closed: moved after a new settle time
    EXPECT_EQ(TwoLooks(), 0);
    EXPECT_EQ(log.Count("  In use, tried again later: <held.txt>"), 1u);
    fs.busy.clear();
    EXPECT_TRUE(sorter.Pass(config, now).waiting);
    EXPECT_EQ(TwoLooks(), 1);
    EXPECT_TRUE(fs.Has("X:\\My Documents\\held.txt"));
}

TEST_F(SorterPass, OffLeavesFilesUntilItIsOnAgainAndAShownNoticeIsNotStarted) {
    config.enabled = false;
    config.firstDragShown = true;
    fs.Drop("X:\\a.jpg");
    EXPECT_EQ(TwoLooks(), 0);
    EXPECT_EQ(log.Count("  Sorting is off, left at the root: <a.jpg>"), 1u);
    config.enabled = true;
    EXPECT_EQ(TwoLooks(), 1);
    EXPECT_TRUE(log.Has("Sorting is on"));
    EXPECT_EQ(fs.notices, 0);
}

TEST_F(SorterPass, PublicSortingGoesToTheOurFoldersAndTheMarkerMakesABusinessAccount) {
    config.sortMyFolder = false;
    config.account = SortConfig::Account::Unknown;
    fs.Drop("X:\\_business.tov");
    fs.Drop("X:\\b.mp3");
    EXPECT_EQ(TwoLooks(), 1);
    EXPECT_TRUE(fs.Has("\\\\NAS1\\Public\\Our Multimedia\\b.mp3"));
    EXPECT_TRUE(fs.lastOtherShare);
    EXPECT_TRUE(fs.Has("X:\\_business.tov"));
    // without a public share the file stays where it is
    config.publicFolder.clear();
    fs.Drop("X:\\c.mp3");
    EXPECT_EQ(TwoLooks(), 0);
    EXPECT_EQ(log.Count("--- ERROR: No public folder to sort <c.mp3> into"), 1u);
}

} // namespace
} // namespace sorter
