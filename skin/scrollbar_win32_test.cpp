// The status view's scroll bar: what it reports to its parent, like a standard scroll bar.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "skin/screen_win32.h"
#include "skin/scrollbar_win32.h"

namespace {

// The status view's scroll bar on its template, with the parent's WM_VSCROLL recorded.
class ScrollScreen : public skin::Screen {
public:
    ScrollScreen() : Screen(IDD_STATUS_VIEW) {}
    std::vector<std::pair<int, int>> events; // code, position
    int clampedHigh = -1, clampedLow = -1;
    bool replaced = false;
    bool sameTabPlace = false, tabStop = false, wantsArrows = false;
    std::string name;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_STATUS);
        HWND before = GetWindow(Item(IDC_STATUS_SCROLL), GW_HWNDPREV);
        replaced = bar_.CreateFromPlaceholder(Hwnd(), IDC_STATUS_SCROLL) &&
                   Item(IDC_STATUS_SCROLL) == bar_.Hwnd();
        sameTabPlace = GetWindow(bar_.Hwnd(), GW_HWNDPREV) == before;
        tabStop = (GetWindowLongA(bar_.Hwnd(), GWL_STYLE) & WS_TABSTOP) != 0;
        wantsArrows = SendMessageA(bar_.Hwnd(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS;
        char text[64] = {};
        GetWindowTextA(bar_.Hwnd(), text, sizeof text);
        name = text;
        MoveItem(IDC_STATUS_SCROLL, 600, 100, 16, 116); // arrows 16, track 84
        ShowItem(IDC_STATUS_SCROLL, true);
        bar_.SetScrollRange(0, 3);
        bar_.SetScrollPos(9);
        clampedHigh = bar_.GetScrollPos();
        bar_.SetScrollPos(-2);
        clampedLow = bar_.GetScrollPos();
        HWND b = bar_.Hwnd();
        auto press = [b](UINT m, int y) { SendMessageA(b, m, 0, MAKELPARAM(5, y)); };
        press(WM_LBUTTONDOWN, 5); // up arrow
        press(WM_LBUTTONUP, 5);
        press(WM_LBUTTONDOWN, 110); // down arrow
        press(WM_LBUTTONUP, 110);
        press(WM_LBUTTONDOWN, 80); // the track below the thumb at position 0
        press(WM_LBUTTONUP, 80);
        press(WM_LBUTTONDOWN, 20); // the thumb itself, then dragged to the bottom
        press(WM_MOUSEMOVE, 200);
        press(WM_LBUTTONUP, 200);
        // the keys, each down and up; a letter is not the scroll bar's
        const UINT keys[] = {VK_DOWN,  VK_UP,   VK_RIGHT, VK_LEFT, VK_NEXT,
                             VK_PRIOR, VK_HOME, VK_END,   'A'};
        for (UINT vk : keys) {
            SendMessageA(b, WM_KEYDOWN, vk, 1);
            SendMessageA(b, WM_KEYUP, vk, 0xC0000001);
        }
        EndDialog(1);
        return true;
    }
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l, bool& handled) override {
        if (m == WM_VSCROLL && reinterpret_cast<HWND>(l) == bar_.Hwnd()) {
            events.push_back({LOWORD(w), static_cast<short>(HIWORD(w))});
            handled = true;
            return TRUE;
        }
        return Screen::OnMessage(m, w, l, handled);
    }

private:
    skin::CXScrollBar bar_;
};

TEST(ScrollBar, ReportsLikeAStandardScrollBar) {
    ScrollScreen s;
    ASSERT_EQ(s.DoModal(), 1);
    EXPECT_TRUE(s.replaced);
    EXPECT_TRUE(s.sameTabPlace);
    EXPECT_TRUE(s.tabStop);
    EXPECT_TRUE(s.wantsArrows);
    EXPECT_EQ(s.name, "Scroll bar");
    EXPECT_EQ(s.clampedHigh, 3);
    EXPECT_EQ(s.clampedLow, 0);
    const std::vector<std::pair<int, int>> want = {
        {SB_LINEUP, 0},    {SB_ENDSCROLL, 0}, {SB_LINEDOWN, 0},   {SB_ENDSCROLL, 0},
        {SB_PAGEDOWN, 0},  {SB_ENDSCROLL, 0}, {SB_THUMBTRACK, 3}, {SB_THUMBPOSITION, 3},
        {SB_ENDSCROLL, 0}, {SB_LINEDOWN, 0},  {SB_ENDSCROLL, 0},  {SB_LINEUP, 0},
        {SB_ENDSCROLL, 0}, {SB_LINEDOWN, 0},  {SB_ENDSCROLL, 0},  {SB_LINEUP, 0},
        {SB_ENDSCROLL, 0}, {SB_PAGEDOWN, 0},  {SB_ENDSCROLL, 0},  {SB_PAGEUP, 0},
        {SB_ENDSCROLL, 0}, {SB_TOP, 0},       {SB_ENDSCROLL, 0},  {SB_BOTTOM, 0},
        {SB_ENDSCROLL, 0}};
    EXPECT_EQ(s.events, want);
}

} // namespace
