// The Main menu and Drive management as a user meets them: clicks, the keyboard and the pages.
#include <windows.h>

#include <gtest/gtest.h>

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
