// The Backup and restore menu, Advanced settings, File Maintenance and the please-wait page as a
// user meets them, in this process, over an in-memory selection and kept-versions file, a
// product key that can refuse writes and a fake engine that records every command.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "app/settings.h"
#include "backup/backup_menu_win32.h"
#include "backup/memory_platform.h"
#include "res/resource.h"
#include "setup/screen_run_win32.h"

namespace {

using setup_test::ScreenRun;

const char* const kShare = "\\\\NAS1\\anne";
const char* const kPrefix = "\\\\NAS1\\anne\\My Backup\\COMPUTER\\";

// The engine as the screens meet it: each command is recorded; with hold set the call waits, as
// a busy engine makes it, until the test lets it return.
class FakeEngine {
public:
    FakeEngine()
        : started_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          release_(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}
    ~FakeEngine() {
        SetEvent(release_);
        CloseHandle(started_);
        CloseHandle(release_);
    }
    backup::CommandSender Sender() {
        return [this](const char* command) {
            {
                std::lock_guard<std::mutex> hold(lock_);
                sent_.push_back(command);
            }
            SetEvent(started_);
            WaitForSingleObject(release_, setup_test::kScreenDeadlineMs);
        };
    }
    void Hold() { ResetEvent(release_); }
    void Release() { SetEvent(release_); }
    bool WaitStarted() {
        return WaitForSingleObject(started_, setup_test::kScreenDeadlineMs) == WAIT_OBJECT_0;
    }
    std::vector<std::string> Sent() {
        std::lock_guard<std::mutex> hold(lock_);
        return sent_;
    }

private:
    HANDLE started_;
    HANDLE release_;
    std::mutex lock_;
    std::vector<std::string> sent_;
};

// "tagOn" as a test arranges it; writes can be refused.
class FakeTagStore : public backup::TagStore {
public:
    void Read(bool* exists, bool* read, std::vector<unsigned char>* data) override {
        *exists = stored;
        *read = stored;
        data->assign(4, 0);
        (*data)[0] = static_cast<unsigned char>(value);
    }
    bool Write(uint32_t v) override {
        writes.push_back(v);
        if (refuse)
            return false;
        stored = true;
        value = v;
        return true;
    }
    bool stored = false;
    uint32_t value = 0;
    bool refuse = false;
    std::vector<uint32_t> writes;
};

using Texts = std::vector<std::string>;

class BackupMenuScreens : public ::testing::Test {
protected:
    void SetUp() override {
        p.settings["sortFolder"] = kShare;
        p.settings["backupFolder"] = "\\My Backup";
        p.computer = "COMPUTER";
    }
    std::string Selection() const { return p.folder + "KelBackConfig.txt"; }
    std::string Levels() const { return p.folder + "histKel.txt"; }

    backup::MemoryPlatform p;
    FakeEngine engine;
};

TEST_F(BackupMenuScreens, BackUpNowStaysDisabledWhenOnlyAnotherShareHasFolders) {
    p.files[Selection()].bytes = "C:\\Data\t\\\\NAS2\\bob\\My Backup\\COMPUTER\\C\\Data\r\n";
    ScreenRun run(
        [&] { return backup::BackupMenuScreen("NAS1", kShare, &p, engine.Sender()).DoModal(); });
    ASSERT_TRUE(run.WaitShown(IDD_BACKUP_MENU));
    EXPECT_EQ(run.Text(IDC_TITLE), "Backup && Restore");
    EXPECT_EQ(run.Text(IDC_DEVICE), "NAS1");
    EXPECT_EQ(run.Text(IDC_BACK_LABEL), "Main Menu");
    EXPECT_EQ(run.Text(IDC_BM_BACKUP_NOW_LABEL), "Back Up Now");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(run.screen.hwnd, IDC_BM_BACKUP_NOW)));
    // a click that reaches the disabled button does nothing; Esc neither
    ASSERT_TRUE(run.Click(IDC_BM_BACKUP_NOW));
    ASSERT_TRUE(run.Key("Esc"));
    ASSERT_TRUE(run.Click(IDC_BM_CLEAN));
    EXPECT_EQ(run.Result(), 133);
    EXPECT_EQ(engine.Sent(), Texts());
}

TEST_F(BackupMenuScreens, TheArrowsWalkTheTabOrderAndEnterOnBackUpNowSendsBackupFirst) {
    p.files[Selection()].bytes = "C:\\Data\t\\\\NAS2\\bob\\My Backup\\COMPUTER\\C\\Data\r\n"
                                 "C:\\Work\t\\\\NAS1\\anne\\My Backup\\COMPUTER\\C\\Work\r\n";
    ScreenRun run(
        [&] { return backup::BackupMenuScreen("NAS1", kShare, &p, engine.Sender()).DoModal(); });
    ASSERT_TRUE(run.WaitShown(IDD_BACKUP_MENU));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(run.screen.hwnd, IDC_BM_BACKUP_NOW)));
    // Set Backup has the focus; Down and Right go forward, Up and Left back
    for (const char* key : {"Down", "Right", "Down", "Up", "Left", "Down", "Down", "Down", "Down"})
        ASSERT_TRUE(run.Key(key));
    // Set Backup, Restore, Status, Clean, Back, Back Up Now: five steps forward in all
    ASSERT_TRUE(run.Key("Enter"));
    EXPECT_EQ(run.Result(), 141);
    EXPECT_EQ(engine.Sent(), Texts{"backup"});
}

TEST_F(BackupMenuScreens, EachOtherButtonEndsTheMenuWithItsResultAndSendsNothing) {
    const struct {
        int id, result;
    } cases[] = {{IDC_BM_SETTINGS, 130},
                 {IDC_BM_RESTORE, 131},
                 {IDC_BM_STATUS, 132},
                 {IDC_BACK, 101},
                 {IDC_CLOSE, 100}};
    for (const auto& c : cases) {
        ScreenRun run([&] {
            return backup::BackupMenuScreen("NAS1", kShare, &p, engine.Sender()).DoModal();
        });
        ASSERT_TRUE(run.WaitShown(IDD_BACKUP_MENU));
        ASSERT_TRUE(run.Click(c.id));
        EXPECT_EQ(run.Result(), c.result);
    }
    EXPECT_EQ(engine.Sent(), Texts());
}

TEST_F(BackupMenuScreens, AdvancedShowsTheStoredChoicesAndSaveStoresTheTenthEntryAsTen) {
    p.files[Levels()].bytes = "\\\\NAS1\\anne\t7\r\n";
    FakeTagStore tags;
    ScreenRun run(
        [&] { return backup::AdvancedScreen("NAS1", &tags, &p, engine.Sender()).DoModal(); });
    ASSERT_TRUE(run.WaitShown(IDD_ADVANCED));
    // a missing switch is on and stored as 1 at once
    EXPECT_EQ(tags.writes, std::vector<uint32_t>{1});
    EXPECT_TRUE(run.Checked(IDC_TAGS_ON) && !run.Checked(IDC_TAGS_OFF));
    EXPECT_EQ(run.Text(IDC_TAGS_ON), "On");
    HWND versions = GetDlgItem(run.screen.hwnd, IDC_VERSIONS);
    EXPECT_EQ(SendMessageA(versions, CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(run.Text(IDC_VERSIONS), "7");
    ASSERT_TRUE(uidriver::SelectEntry(run.screen.hwnd, IDC_VERSIONS, 9));
    ASSERT_TRUE(run.SetCheck(IDC_TAGS_OFF, true));
    ASSERT_TRUE(run.Click(IDC_NEXT));
    EXPECT_EQ(run.Result(), 103);
    EXPECT_EQ(p.Content(Levels()), "\\\\NAS1\\anne\t10\r\n");
    EXPECT_EQ(tags.writes, (std::vector<uint32_t>{1, 0}));
    EXPECT_EQ(engine.Sent(), Texts{"settings force_change"});
}

TEST_F(BackupMenuScreens, SaveTellsTheEngineEvenWhenTheProductKeyRefusesTheSwitch) {
    FakeTagStore tags;
    tags.stored = true;
    tags.value = 0;
    tags.refuse = true;
    ScreenRun run(
        [&] { return backup::AdvancedScreen("NAS1", &tags, &p, engine.Sender()).DoModal(); });
    ASSERT_TRUE(run.WaitShown(IDD_ADVANCED));
    EXPECT_TRUE(run.Checked(IDC_TAGS_OFF));
    EXPECT_EQ(run.Text(IDC_VERSIONS), "5") << "a share without an entry keeps five";
    ASSERT_TRUE(run.SetCheck(IDC_TAGS_ON, true));
    // Enter anywhere but on Back saves
    ASSERT_TRUE(run.Key("Enter"));
    EXPECT_EQ(run.Result(), 103);
    EXPECT_EQ(tags.writes, std::vector<uint32_t>{1});
    EXPECT_EQ(engine.Sent(), Texts{"settings force_change"});
    EXPECT_EQ(p.Content(Levels()), "\\\\NAS1\\anne\t5\r\n");
}

TEST_F(BackupMenuScreens, AdvancedOnACleanKeyStoresTagOnAsOneAndBackSendsNothing) {
    SHDeleteKeyA(HKEY_CURRENT_USER, AppSettings::KEY);
    ScreenRun run(
        [&] { return backup::AdvancedScreen("NAS1", nullptr, &p, engine.Sender()).DoModal(); });
    ASSERT_TRUE(run.WaitShown(IDD_ADVANCED));
    EXPECT_TRUE(run.Checked(IDC_TAGS_ON));
    const AppSettings::RawValue value =
        AppSettings::ReadRaw(AppSettings::Root::CurrentUser, "tagOn");
    EXPECT_TRUE(value.read);
    EXPECT_EQ(value.type, static_cast<uint32_t>(REG_DWORD));
    EXPECT_EQ(value.data, (std::vector<unsigned char>{1, 0, 0, 0}));
    run.Focus(IDC_BACK);
    ASSERT_TRUE(run.Key("Enter"));
    EXPECT_EQ(run.Result(), 101);
    EXPECT_EQ(engine.Sent(), Texts());
    EXPECT_EQ(p.Content(Levels()), "<missing>");
    SHDeleteKeyA(HKEY_CURRENT_USER, AppSettings::KEY);
}

// The confirmation over the File Maintenance page: its heading, then its left (No) or right
// (Yes) button.
void Answer(ScreenRun& run, const char* heading, int button) {
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    EXPECT_EQ(run.Text(IDC_HEADING), heading);
    const HWND message = run.screen.hwnd;
    ASSERT_TRUE(run.Click(button));
    ASSERT_TRUE(uidriver::WaitGone(message, setup_test::kScreenDeadlineMs));
}

TEST_F(BackupMenuScreens, CancellingEitherConfirmationSendsNothingAndLeavesThePageOpen) {
    ScreenRun run([&] { return backup::CleanUpScreen("NAS1", &p, engine.Sender()).DoModal(); });
    ASSERT_TRUE(run.WaitShown(IDD_CLEAN_UP));
    EXPECT_EQ(run.Text(IDC_TITLE), "File Maintenance");
    ASSERT_TRUE(run.Click(IDC_CLEAN_DELETE));
    Answer(run, "Are you sure you want to delete historical versions?", IDC_LEFT_BUTTON);
    ASSERT_TRUE(run.WaitShown(IDD_CLEAN_UP));
    ASSERT_TRUE(run.Click(IDC_CLEAN_SYNC));
    Answer(run, "Are you sure you want to sync backup to computer?", IDC_LEFT_BUTTON);
    ASSERT_TRUE(run.WaitShown(IDD_CLEAN_UP));
    ASSERT_TRUE(run.Click(IDC_BACK));
    EXPECT_EQ(run.Result(), 101);
    EXPECT_EQ(engine.Sent(), Texts());
}

TEST_F(BackupMenuScreens, YesRunsTheCommandOnThePleaseWaitPageWhichOffersOkOnlyAfterIt) {
    ScreenRun run([&] { return backup::CleanUpScreen("NAS1", &p, engine.Sender()).DoModal(); });
    const struct {
        int button;
        const char* heading;
        const char* title;
        std::string command;
    } cases[] = {
        {IDC_CLEAN_DELETE, "Are you sure you want to delete historical versions?",
         "Delete Historical Versions", "settings clean_all"},
        {IDC_CLEAN_SYNC, "Are you sure you want to sync backup to computer?",
         "Sync Backup to Computer", std::string("clean ") + kPrefix},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(run.WaitShown(IDD_CLEAN_UP));
        engine.Hold();
        ASSERT_TRUE(run.Click(c.button));
        Answer(run, c.heading, IDC_RIGHT_BUTTON);
        // the command is running: the page is up and its OK disabled until the call returns
        ASSERT_TRUE(engine.WaitStarted());
        ASSERT_TRUE(run.WaitShown(IDD_PLEASE_WAIT));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(run.screen.hwnd, IDC_NEXT)));
        engine.Release();
        EXPECT_EQ(run.Text(IDC_TITLE), c.title);
        EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), "\n\nClick OK button to continue");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(run.screen.hwnd, IDC_NEXT)));
        EXPECT_EQ(run.Text(IDC_NEXT_LABEL), "OK");
        // Esc and Alt+F4 are swallowed; Enter on the focused OK closes the page
        ASSERT_TRUE(run.Key("Esc"));
        ASSERT_TRUE(run.Key("Alt+F4"));
        ASSERT_TRUE(run.Key("Enter"));
        ASSERT_TRUE(uidriver::WaitGone(run.screen.hwnd, setup_test::kScreenDeadlineMs));
    }
    ASSERT_TRUE(run.WaitShown(IDD_CLEAN_UP));
    ASSERT_TRUE(run.Click(IDC_CLOSE));
    EXPECT_EQ(run.Result(), 100);
    EXPECT_EQ(engine.Sent(), (Texts{"settings clean_all", std::string("clean ") + kPrefix}));
}

TEST_F(BackupMenuScreens, ThePleaseWaitPageClosesTheProgramOnlyByItsCloseButton) {
    ScreenRun run(
        [&] { return backup::PleaseWaitScreen("settings clean_all", engine.Sender()).DoModal(); });
    ASSERT_TRUE(engine.WaitStarted());
    ASSERT_TRUE(run.WaitShown(IDD_PLEASE_WAIT));
    ASSERT_TRUE(run.Click(IDC_CLOSE));
    EXPECT_EQ(run.Result(), 100);
    EXPECT_EQ(engine.Sent(), Texts{"settings clean_all"});
}

} // namespace
