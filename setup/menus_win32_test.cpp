// The Main menu and Drive management as a user meets them: clicks, the keyboard and the pages.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lab/uidriver/access_win32.h"
#include "res/resource.h"
#include "setup/menus_win32.h"
#include "setup/screen_run_win32.h"
#include "setup/test_log.h"

namespace {

using setup_test::ScreenRun;

int ShowMainMenu() { return setup::MainMenuScreen("NAS1", "127.0.0.1").DoModal(); }
int ShowDriveManagement() { return setup::DriveManagementScreen("NAS1", "127.0.0.1").DoModal(); }

TEST(MainMenuScreen, ShowsItsTextsAndEnterChoosesTheFocusedItem) {
    const struct {
        int button;
        int result;
    } items[] = {
        {IDC_MENU_SETUP, 110}, {IDC_MENU_BACKUP, 111}, {IDC_MENU_MANAGE, 112}, {IDC_BACK, 101}};
    for (const auto& item : items) {
        ScreenRun run(ShowMainMenu);
        ASSERT_TRUE(run.WaitShown(IDD_MAIN_MENU));
        EXPECT_EQ(run.Text(IDC_TITLE), "Main Menu");
        EXPECT_EQ(run.Text(IDC_DEVICE), "NAS1");
        EXPECT_EQ(run.Text(IDC_MENU_MANAGE_LABEL), "DRIVE\nMANAGEMENT");
        EXPECT_EQ(run.Text(IDC_BACK_LABEL), "Locate");
        EXPECT_EQ(run.Text(IDC_VERSION), "v1.1.0.35");
        run.Focus(item.button);
        // Esc first: it must leave the screen as it is
        ASSERT_TRUE(run.Key("Esc"));
        ASSERT_TRUE(run.Key("Enter"));
        EXPECT_EQ(run.Result(), item.result) << item.button;
    }
}

TEST(MainMenuScreen, XEndsWith100) {
    ScreenRun run(ShowMainMenu);
    ASSERT_TRUE(run.WaitShown(IDD_MAIN_MENU));
    ASSERT_TRUE(run.Click(IDC_CLOSE));
    EXPECT_EQ(run.Result(), 100);
}

// The names a screen reader finds on a menu's buttons, by control id.
std::map<int, std::string> ButtonNames(HWND screen) {
    std::map<int, std::string> names;
    for (const uidriver::NamedControl& c : uidriver::ListNames(screen)) {
        if (c.cls == "Button")
            names[c.id] = c.name;
    }
    return names;
}

TEST(MainMenuScreen, EveryButtonIsNamedAfterWhatItShowsAndTabReachesIt) {
    ScreenRun run(ShowMainMenu);
    ASSERT_TRUE(run.WaitShown(IDD_MAIN_MENU));
    const std::map<int, std::string> want = {{IDC_MENU_SETUP, "SHARED STORAGE SETUP"},
                                             {IDC_MENU_BACKUP, "BACKUP & RESTORE"},
                                             {IDC_MENU_MANAGE, "DRIVE MANAGEMENT"},
                                             {IDC_BACK, "Locate"},
                                             {IDC_MINIMIZE, "Minimize"},
                                             {IDC_CLOSE, "Close"}};
    EXPECT_EQ(ButtonNames(run.screen.hwnd), want);
    const std::vector<std::string> problems = uidriver::AccessProblems(run.screen.hwnd, 5000);
    EXPECT_TRUE(problems.empty()) << problems.front();
    // the Tab walk ends where it began: on the set-up icon, which Enter chooses
    ASSERT_TRUE(run.Key("Enter"));
    EXPECT_EQ(run.Result(), 110);
}

TEST(DriveManagementScreen, EveryItemIsNamedAfterItsLabelAndItsOwnTabReachesIt) {
    ScreenRun run(ShowDriveManagement);
    ASSERT_TRUE(run.WaitShown(IDD_DRIVE_MANAGEMENT));
    const std::map<int, std::string> want = {
        {IDC_DM_SORT, "Drag and Sort Settings"},
        {IDC_DM_WEB, "Advanced Settings"},
        {IDC_DM_STATUS, "Vistrel\x99 Storage & Backup Status"},
        {IDC_DM_MEDIA, "Manage Digital Photos, Music, and Video"},
        {IDC_BACK, "Back"},
        {IDC_MINIMIZE, "Minimize"},
        {IDC_CLOSE, "Close"}};
    EXPECT_EQ(ButtonNames(run.screen.hwnd), want);
    // the screen moves the focus on Tab itself
    const std::vector<std::string> problems = uidriver::AccessProblems(run.screen.hwnd, 5000);
    EXPECT_TRUE(problems.empty()) << problems.front();
    ASSERT_TRUE(run.Click(IDC_CLOSE));
    EXPECT_EQ(run.Result(), 100);
}

TEST(DriveManagementScreen, ArrowsAndTabWithItsOwnShiftMoveTheFocusAndWebItemsStay) {
    setup_test::LogCapture log;
    ScreenRun run(ShowDriveManagement);
    ASSERT_TRUE(run.WaitShown(IDD_DRIVE_MANAGEMENT));
    EXPECT_EQ(run.Text(IDC_TITLE), "Drive Management");
    EXPECT_EQ(run.Text(IDC_DM_SORT_LABEL), "Drag and Sort Settings");
    // from Drag and Sort: Down to the set-up page, which opens and leaves the screen up
    ASSERT_TRUE(run.Key("Down"));
    ASSERT_TRUE(run.Key("Enter"));
    // Tab to the status item, and back with Shift held as the screen saw it go down
    ASSERT_TRUE(run.Key("Tab"));
    HWND focus = GetDlgItem(run.screen.hwnd, IDC_DM_STATUS);
    PostMessageA(focus, WM_KEYDOWN, VK_SHIFT, 0x002A0001);
    ASSERT_TRUE(run.Key("Tab"));
    PostMessageA(focus, WM_KEYUP, VK_SHIFT, 0xC02A0001);
    // Shift is up again: Right, Right reach the media page
    ASSERT_TRUE(run.Key("Right"));
    ASSERT_TRUE(run.Key("Right"));
    ASSERT_TRUE(run.Key("Enter"));
    ASSERT_TRUE(run.Key("Esc"));
    ASSERT_TRUE(run.Key("Left"));
    ASSERT_TRUE(run.Key("Enter"));
    EXPECT_EQ(run.Result(), 132);
    const std::vector<std::string> pages = {
        "Going to Launch to <http:\\\\127.0.0.1>",
        "Going to Launch to <http://127.0.0.1/share/share_upnp_1.asp>"};
    std::vector<std::string> launched;
    for (const std::string& line : log.Lines()) {
        if (line.rfind("Going to Launch", 0) == 0)
            launched.push_back(line);
    }
    EXPECT_EQ(launched, pages);
}

} // namespace
