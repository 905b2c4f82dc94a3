// Tests of the backup menu's, Advanced settings' and File Maintenance's rules over an in-memory
// platform, a fake product key and a fake engine.
#include "backup/backup_menu.h"
#include "backup/memory_platform.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace backup {
namespace {

// The product key's "tagOn" as a test arranges it.
class FakeTagStore : public TagStore {
public:
    void Read(bool* exists, bool* read, std::vector<unsigned char>* data) override {
        *exists = exists_;
        *read = readable;
        *data = readable ? bytes : std::vector<unsigned char>();
    }
    bool Write(uint32_t value) override {
        writes.push_back(value);
        if (failWrites)
            return false;
        exists_ = true;
        bytes.assign(reinterpret_cast<const unsigned char*>(&value),
                     reinterpret_cast<const unsigned char*>(&value) + 4);
        return true;
    }
    void Store(std::vector<unsigned char> b) {
        exists_ = true;
        bytes = std::move(b);
    }

    bool exists_ = false;
    bool readable = true;
    bool failWrites = false;
    std::vector<unsigned char> bytes;
    std::vector<uint32_t> writes;
};

class BackupMenuRules : public ::testing::Test {
protected:
    void SetUp() override {
        p.settings["sortFolder"] = "\\\\NAS1\\anne";
        p.settings["backupFolder"] = "\\My Backup";
        p.computer = "COMPUTER";
    }
    std::string Selection() const { return p.folder + "KelBackConfig.txt"; }
    std::string Levels() const { return p.folder + "histKel.txt"; }
    CommandSender Recorder() {
        return [this](const char* command) { sent.push_back(command); };
    }

    MemoryPlatform p;
    std::vector<std::string> sent;
};

TEST_F(BackupMenuRules, EachButtonEndsTheMenuAndOnlyBackUpNowSendsBackupFirst) {
    const struct {
        int id, result;
    } cases[] = {{IDC_BM_SETTINGS, 130}, {IDC_BM_RESTORE, 131},    {IDC_BM_STATUS, 132},
                 {IDC_BM_CLEAN, 133},    {IDC_BM_BACKUP_NOW, 141}, {IDC_BACK, 101},
                 {IDC_NEXT, 0},          {IDC_BM_CLEAN_LABEL, 0}};
    for (const auto& c : cases) {
        const MenuChoice choice = ChooseBackupMenuItem(c.id);
        EXPECT_EQ(choice.result, c.result) << c.id;
        EXPECT_EQ(choice.sendsBackup, c.id == IDC_BM_BACKUP_NOW) << c.id;
    }
}

TEST_F(BackupMenuRules, OnlyThisSharesEntriesCountAsItsSelection) {
    p.files[Selection()].bytes = "C:\\Data\t\\\\NAS2\\bob\\My Backup\\COMPUTER\\C\\Data\r\n"
                                 "C:\\Mail\t\\\\NAS1\\annex\\My Backup\\COMPUTER\\C\\Mail\r\n";
    BackupConfig others(&p);
    EXPECT_FALSE(HasSelectionFor(others, "\\\\NAS1\\anne")) << "other shares do not count";
    EXPECT_TRUE(HasSelectionFor(others, "\\\\NAS2\\bob"));
    EXPECT_FALSE(HasSelectionFor(others, ""));
    p.files[Selection()].bytes += "C:\\Work\t\\\\NAS1\\anne\\My Backup\\COMPUTER\\C\\Work\r\n";
    EXPECT_TRUE(HasSelectionFor(BackupConfig(&p), "\\\\NAS1\\anne"));
    p.files.clear();
    EXPECT_FALSE(HasSelectionFor(BackupConfig(&p), "\\\\NAS1\\anne")) << "no file";
}

TEST_F(BackupMenuRules, FolderTagsReadAsStoredAndAMissingValueIsStoredAsOne) {
    const struct {
        bool exists, readable;
        std::vector<unsigned char> bytes;
        bool on;
        std::vector<uint32_t> writes;
    } cases[] = {
        {false, true, {}, true, {1}},             // missing: stored as 1
        {true, true, {0, 0, 0, 0}, false, {}},    // off
        {true, true, {1, 0, 0, 0}, true, {}},     // on
        {true, true, {0, 1, 0, 0}, true, {}},     // 256: all four bytes count
        {true, true, {0, 0, 0, 0, 9}, false, {}}, // bytes past the DWORD do not
        {true, false, {0, 0, 0, 0}, true, {}},    // there but unreadable: on, left alone
    };
    for (const auto& c : cases) {
        FakeTagStore store;
        store.exists_ = c.exists;
        store.readable = c.readable;
        store.bytes = c.bytes;
        FolderTagSetting tags(store);
        EXPECT_EQ(tags.On(), c.on);
        EXPECT_EQ(store.writes, c.writes);
    }
}

TEST_F(BackupMenuRules, WriteTagOnRemembersOnlyWhatTheStoreTook) {
    FakeTagStore store;
    store.Store({1, 0, 0, 0});
    FolderTagSetting tags(store);
    EXPECT_TRUE(tags.WriteTagOn(false));
    EXPECT_FALSE(tags.On());
    EXPECT_EQ(store.bytes, (std::vector<unsigned char>{0, 0, 0, 0}));
    store.failWrites = true;
    EXPECT_FALSE(tags.WriteTagOn(true));
    EXPECT_FALSE(tags.On());
    EXPECT_EQ(store.writes, (std::vector<uint32_t>{0, 1}));
}

TEST_F(BackupMenuRules, TheVersionsListShowsOneToTenAndSelectsTheKeptNumber) {
    EXPECT_EQ(VersionChoiceText(0), "1");
    EXPECT_EQ(VersionChoiceText(kVersionChoices - 1), "10");
    for (int levels = 1; levels <= kVersionChoices; ++levels)
        EXPECT_EQ(VersionChoiceText(VersionChoiceFor(levels)), std::to_string(levels));
    for (int levels : {0, -1, 11, 100})
        EXPECT_EQ(VersionChoiceFor(levels), -1) << levels;
}

TEST_F(BackupMenuRules, SaveStoresTheTenthEntryAsTenTheSwitchAndThenTellsTheEngine) {
    p.files[Levels()].bytes = "\\\\NAS2\\bob\t7\r\n";
    FakeTagStore store;
    FolderTagSetting tags(store);
    ShareVersionHistory history(&p);
    SaveAdvancedSettings(false, VersionChoiceFor(10), tags, history, Recorder());
    EXPECT_EQ(p.Content(Levels()), "\\\\NAS1\\anne\t10\r\n\\\\NAS2\\bob\t7\r\n");
    EXPECT_EQ(store.writes, (std::vector<uint32_t>{1, 0}));
    EXPECT_EQ(sent, (std::vector<std::string>{"settings force_change"}));
    EXPECT_EQ(ShareVersionHistory(&p).Levels(), 10);
}

TEST_F(BackupMenuRules, SaveTellsTheEngineWhenTheWritesFailOrThereIsNothingToWrite) {
    FakeTagStore store;
    FolderTagSetting tags(store);
    store.failWrites = true;
    {
        ShareVersionHistory history(&p);
        p.failWriteAfter = 0;
        SaveAdvancedSettings(true, 2, tags, history, Recorder());
        EXPECT_EQ(p.Content(Levels()), "<missing>");
        p.failWriteAfter = -1;
    }
    {
        // no entry chosen: the kept versions stay
        p.files[Levels()].bytes = "\\\\NAS1\\anne\t25\r\n";
        ShareVersionHistory history(&p);
        SaveAdvancedSettings(true, -1, tags, history, Recorder());
        EXPECT_EQ(p.Content(Levels()), "\\\\NAS1\\anne\t25\r\n");
    }
    {
        // no share in the settings: nothing is written under an empty name
        p.settings.clear();
        p.files.clear();
        ShareVersionHistory history(&p);
        SaveAdvancedSettings(true, 3, tags, history, Recorder());
        EXPECT_EQ(p.Content(Levels()), "<missing>");
    }
    EXPECT_EQ(sent, std::vector<std::string>(3, "settings force_change"));
}

TEST_F(BackupMenuRules, TheSyncCommandIsCleanAndTheBackupRootEndingInABackslash) {
    EXPECT_EQ(CleanCommand(ShareVersionHistory(&p)), "clean \\\\NAS1\\anne\\My Backup\\COMPUTER\\");
    p.settings.erase("backupFolder");
    EXPECT_EQ(CleanCommand(ShareVersionHistory(&p)), "") << "nothing to clean without settings";
}

// The File Maintenance page as an operation sees it.
class FakePage : public CleanUpPage {
public:
    int Confirm(uint32_t code) override {
        asked.push_back(code);
        return answer;
    }
    int RunPleaseWait(const std::string& command) override {
        ran.push_back(command);
        return waitResult;
    }
    std::string SyncCommand() override { return "clean \\\\NAS1\\anne\\My Backup\\COMPUTER\\"; }

    int answer = 128;
    int waitResult = 103;
    std::vector<uint32_t> asked;
    std::vector<std::string> ran;
};

TEST_F(BackupMenuRules, AConfirmedOperationRunsItsCommandAndOnlyThen) {
    const struct {
        CleanUpOperation op;
        int answer, waitResult, result;
        uint32_t code;
        const char* ran; // null: nothing runs
    } cases[] = {
        {CleanUpOperation::DeleteHistory, 128, 103, 0, 0xAA000011, "settings clean_all"},
        {CleanUpOperation::SyncBackup, 128, 103, 0, 0xAA000010,
         "clean \\\\NAS1\\anne\\My Backup\\COMPUTER\\"},
        {CleanUpOperation::DeleteHistory, 129, 103, 0, 0xAA000011, nullptr},
        {CleanUpOperation::SyncBackup, 129, 103, 0, 0xAA000010, nullptr},
        {CleanUpOperation::SyncBackup, -1, 103, 0, 0xAA000010, nullptr},
        {CleanUpOperation::DeleteHistory, 100, 103, 100, 0xAA000011, nullptr},
        {CleanUpOperation::DeleteHistory, 128, 100, 100, 0xAA000011, "settings clean_all"},
    };
    for (const auto& c : cases) {
        FakePage page;
        page.answer = c.answer;
        page.waitResult = c.waitResult;
        EXPECT_EQ(RunCleanUpOperation(c.op, page), c.result);
        EXPECT_EQ(page.asked, std::vector<uint32_t>{c.code});
        EXPECT_EQ(page.ran, c.ran ? std::vector<std::string>{c.ran} : std::vector<std::string>());
    }
}

// The please-wait page's window as a log of what it was told.
class FakeWaitView : public PleaseWaitView {
public:
    void SetBody(int id) override { log.push_back("body " + std::to_string(id)); }
    void EnableOk() override { log.push_back("ok"); }
    void StopTicking() override { log.push_back("stop"); }
    void Send(const std::string& command) override { log.push_back("send " + command); }
    std::vector<std::string> log;
};

TEST_F(BackupMenuRules, ThePleaseWaitPageSendsOnceOnItsFirstTickAndNeverWithoutATimer) {
    using Log = std::vector<std::string>;
    FakeWaitView view;
    PleaseWait wait("settings clean_all", view);
    EXPECT_EQ(wait.TitleString(), 75);
    wait.Started(true);
    EXPECT_EQ(view.log, Log());
    wait.Tick(2);
    EXPECT_FALSE(wait.Done());
    wait.Tick(1);
    wait.Tick(1);
    EXPECT_TRUE(wait.Done());
    EXPECT_EQ(view.log, (Log{"stop", "send settings clean_all", "body 74", "ok"}));

    FakeWaitView noTimer;
    PleaseWait sync("clean \\\\NAS1\\anne\\My Backup\\COMPUTER\\", noTimer);
    EXPECT_EQ(sync.TitleString(), 78);
    sync.Started(false);
    sync.Tick(1);
    EXPECT_EQ(noTimer.log, (Log{"body 74", "ok"}));

    FakeWaitView empty;
    PleaseWait none("", empty);
    EXPECT_EQ(none.TitleString(), 78);
    none.Started(true);
    none.Tick(1);
    EXPECT_EQ(empty.log, (Log{"stop", "body 74", "ok"}));
}

} // namespace
} // namespace backup
