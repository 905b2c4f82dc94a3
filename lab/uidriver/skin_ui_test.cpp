// Screen tests of the skinned dialog toolkit: the gallery runs as its own process and the UI
// driver acts on it as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "lab/uidriver/gallery_run_win32.h"
#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"

namespace {

using uidriver_test::Gallery;
using uidriver_test::kWait;

TEST(SkinShape, MagentaCornersAreCutAndTheMiddleStays) {
    Gallery g("-face 9001 642");
    ASSERT_TRUE(g.Started());
    uidriver::Screen s = g.NextScreen();
    EXPECT_EQ(s.dialogId, IDD_PLEASE_WAIT);
    RECT r = uidriver::WindowRect(s.hwnd);
    EXPECT_EQ(r.right - r.left, 650);
    EXPECT_EQ(r.bottom - r.top, 364);
    ASSERT_TRUE(uidriver::HasRegion(s.hwnd));
    // the 10 by 10 corners are gone
    EXPECT_FALSE(uidriver::RegionContains(s.hwnd, 0, 0));
    EXPECT_FALSE(uidriver::RegionContains(s.hwnd, 9, 9));
    EXPECT_FALSE(uidriver::RegionContains(s.hwnd, 649, 0));
    EXPECT_FALSE(uidriver::RegionContains(s.hwnd, 0, 363));
    EXPECT_FALSE(uidriver::RegionContains(s.hwnd, 645, 359));
    EXPECT_TRUE(uidriver::RegionContains(s.hwnd, 10, 10));
    EXPECT_TRUE(uidriver::RegionContains(s.hwnd, 100, 100));
    // magenta away from the edge band stays part of the window
    EXPECT_TRUE(uidriver::RegionContains(s.hwnd, 320, 180));
    EXPECT_TRUE(uidriver::RegionContains(s.hwnd, 320, 0));
    uidriver::Click(s.hwnd, IDC_CLOSE);
    EXPECT_EQ(g.Finish(), 100);
}

TEST(SkinShape, AFailedRegionLeavesTheWindowRectangular) {
    Gallery g("-face 9001 -failregion 642");
    ASSERT_TRUE(g.Started());
    uidriver::Screen s = g.NextScreen();
    EXPECT_FALSE(uidriver::HasRegion(s.hwnd));
    EXPECT_TRUE(uidriver::RegionContains(s.hwnd, 0, 0));
    uidriver::Click(s.hwnd, IDC_CLOSE);
    EXPECT_EQ(g.Finish(), 100);
}

TEST(SkinShape, RealBackgroundsHaveRoundedCorners) {
    Gallery g("563");
    ASSERT_TRUE(g.Started());
    uidriver::Screen s = g.NextScreen();
    RECT r = uidriver::WindowRect(s.hwnd);
    EXPECT_EQ(r.right - r.left, 504);
    EXPECT_EQ(r.bottom - r.top, 294);
    EXPECT_FALSE(uidriver::RegionContains(s.hwnd, 0, 0));
    EXPECT_FALSE(uidriver::RegionContains(s.hwnd, 503, 293));
    EXPECT_TRUE(uidriver::RegionContains(s.hwnd, 252, 2));
    uidriver::Click(s.hwnd, IDC_CLOSE);
    EXPECT_EQ(g.Finish(), 100);
}

TEST(SkinPosition, FirstScreenCentredNextOpensWhereTheLastWasLeft) {
    Gallery g("530 590");
    ASSERT_TRUE(g.Started());
    uidriver::Screen first = g.NextScreen();
    EXPECT_EQ(first.dialogId, IDD_MAIN_MENU);
    RECT r = uidriver::WindowRect(first.hwnd);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);
    // drag by a point of the face that holds no control
    const bool dragged = uidriver::Drag(first.hwnd, 40, 250, -60, 44);
    RECT moved = uidriver::WindowRect(first.hwnd);
    POINT cursor;
    GetCursorPos(&cursor);
    ASSERT_TRUE(dragged) << "window at " << moved.left << "," << moved.top << " from " << r.left
                         << "," << r.top << ", cursor " << cursor.x << "," << cursor.y;
    EXPECT_EQ(moved.left, r.left - 60);
    EXPECT_EQ(moved.top, r.top + 44);
    EXPECT_EQ(moved.right - moved.left, 650);
    ASSERT_TRUE(uidriver::Click(first.hwnd, IDC_BACK));
    uidriver::Screen second = g.NextScreen(first.hwnd);
    EXPECT_EQ(second.dialogId, IDD_CHOOSE_ACCOUNT);
    RECT next = uidriver::WindowRect(second.hwnd);
    EXPECT_EQ(next.left, moved.left);
    EXPECT_EQ(next.top, moved.top);
    uidriver::Click(second.hwnd, IDC_NEXT);
    EXPECT_EQ(g.Finish(), 102);
    EXPECT_NE(g.Output().find("dialog 530 result 101"), std::string::npos) << g.Output();
}

TEST(SkinKeys, EscNeverClosesAltF4AndXGive100) {
    Gallery g("590 590 590");
    ASSERT_TRUE(g.Started());
    uidriver::Screen s = g.NextScreen();
    // Esc is swallowed: the click posted after it is what ends the screen
    ASSERT_TRUE(uidriver::SendKey(s.hwnd, "Esc"));
    ASSERT_TRUE(uidriver::Click(s.hwnd, IDC_BACK));
    uidriver::Screen t = g.NextScreen(s.hwnd);
    // Enter chooses the forward button on the gallery's screens
    ASSERT_TRUE(uidriver::SendKey(t.hwnd, "Enter"));
    uidriver::Screen u = g.NextScreen(t.hwnd);
    ASSERT_TRUE(uidriver::SendKey(u.hwnd, "Alt+F4"));
    EXPECT_EQ(g.Finish(), 100);
    EXPECT_EQ(g.Output(), "dialog 590 result 101\r\ndialog 590 result 102\r\n"
                          "dialog 590 result 100\r\n");
}

TEST(SkinKeys, XClosesAndUnderscoreMinimises) {
    Gallery g("580");
    ASSERT_TRUE(g.Started());
    uidriver::Screen s = g.NextScreen();
    ASSERT_TRUE(uidriver::Click(s.hwnd, IDC_MINIMIZE));
    const DWORD start = GetTickCount();
    while (!IsIconic(s.hwnd) && GetTickCount() - start < kWait) {
        Sleep(20);
    }
    EXPECT_TRUE(IsIconic(s.hwnd));
    EXPECT_TRUE(IsWindow(s.hwnd));
    ASSERT_TRUE(uidriver::Click(s.hwnd, IDC_CLOSE));
    EXPECT_EQ(g.Finish(), 100);
}

TEST(SkinControls, DriverListsControlsWithTextsAndStates) {
    Gallery g("529");
    ASSERT_TRUE(g.Started());
    uidriver::Screen s = g.NextScreen();
    EXPECT_EQ(s.dialogId, IDD_LOCATE);
    // the title from string 2, for the task bar
    char title[64] = {};
    GetWindowTextA(s.hwnd, title, sizeof title);
    EXPECT_STREQ(title, "Kelvox Lumora");
    bool sawStart = false, sawNextLabel = false, sawHiddenMessage = false;
    for (const uidriver::Control& c : uidriver::ListControls(s.hwnd)) {
        if (c.id == IDC_START) {
            sawStart = true;
            EXPECT_FALSE(c.enabled);
            EXPECT_EQ(c.cls, "Button");
        } else if (c.id == IDC_NEXT_LABEL) {
            sawNextLabel = true;
            EXPECT_EQ(c.text, "Next");
            EXPECT_TRUE(c.visible);
        } else if (c.id == IDC_SCAN_MESSAGE) {
            sawHiddenMessage = true;
            EXPECT_FALSE(c.visible);
        }
    }
    EXPECT_TRUE(sawStart && sawNextLabel && sawHiddenMessage);
    EXPECT_TRUE(uidriver::SelectEntry(s.hwnd, IDC_DEVICE_LIST, 1));
    EXPECT_FALSE(uidriver::SelectEntry(s.hwnd, IDC_DEVICE_LIST, 7));
    ASSERT_TRUE(uidriver::Click(s.hwnd, IDC_CLOSE));
    EXPECT_EQ(g.Finish(), 100);
}

TEST(SkinControls, CheckBoxesAndLanguageLibraries) {
    Gallery g("-lang ger 570");
    ASSERT_TRUE(g.Started());
    uidriver::Screen s = g.NextScreen();
    EXPECT_EQ(uidriver::ControlText(s.hwnd, IDC_SORT_ENABLE), "Ziehen und Sortieren aktivieren");
    EXPECT_EQ(uidriver::ControlText(s.hwnd, IDC_NEXT_LABEL), "OK");
    ASSERT_TRUE(uidriver::SetCheck(s.hwnd, IDC_SORT_ENABLE, false));
    bool unchecked = false;
    const DWORD start = GetTickCount();
    while (!unchecked && GetTickCount() - start < kWait) {
        for (const uidriver::Control& c : uidriver::ListControls(s.hwnd)) {
            if (c.id == IDC_SORT_ENABLE) {
                unchecked = !c.checked;
            }
        }
    }
    EXPECT_TRUE(unchecked);
    ASSERT_TRUE(uidriver::Click(s.hwnd, IDC_NEXT));
    EXPECT_EQ(g.Finish(), 102);
}

} // namespace
