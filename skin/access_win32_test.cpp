// The screens for screen readers and the keyboard, in this process: buttons named after their
// labels, the title-bar buttons' names, the focus drawn on a button without a focus image, and
// the default focus of the screens' table.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "skin/place_controls_win32.h"
#include "skin/screen_layout.h"
#include "skin/screen_win32.h"

namespace {

std::string TextOf(HWND w) {
    char buf[256] = {};
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

// The pixels of a button drawn in the given state into a bitmap of its own.
std::vector<COLORREF> DrawnPixels(skin::BitmapButton& b, UINT state) {
    const SIZE size = b.Size();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(b.Id());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = b.Hwnd();
    item.hDC = dc;
    item.rcItem = {0, 0, size.cx, size.cy};
    b.Draw(item);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            pixels.push_back(GetPixel(dc, x, y));
        }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// A screen placed from its table; what the test looks at is read during its start-up.
class PlacedScreen : public skin::Screen {
public:
    PlacedScreen(UINT id, bool systemFocus) : Screen(id), systemFocus_(systemFocus) {}
    std::vector<std::string> names;
    bool xFocusDiffers = false, xCuesHidden = false, nextFocusImageOnly = false;
    int focused = 0, focusedAfterRefocus = 0;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_GENERAL);
        skin::PlaceControls(*this, TemplateId());
        if (TemplateId() == IDD_SETUP_COMPLETE) {
            Record();
            // later texts, however they are set, rename the buttons
            skin::SetLabelText(*this, IDC_NEXT_LABEL, "Open && Go");
            SetItemText(IDC_BACK_LABEL, "Main\nMenu");
            Record();
            skin::BitmapButton* x = FindButton(IDC_CLOSE);
            const std::vector<COLORREF> plain = DrawnPixels(*x, 0);
            xFocusDiffers = DrawnPixels(*x, ODS_FOCUS) != plain;
            xCuesHidden = DrawnPixels(*x, ODS_FOCUS | ODS_NOFOCUSRECT) == plain;
            // the focus image is the focus: drawn with the focus, Next is that image alone
            skin::BitmapButton* next = FindButton(IDC_NEXT);
            skin::BitmapButton focusImage;
            focusImage.Attach(Item(IDC_BACK), {IDB_BUTTON_FOCUS, 0, 0, 0});
            nextFocusImageOnly = DrawnPixels(*next, ODS_FOCUS) == DrawnPixels(focusImage, 0);
        }
        return systemFocus_;
    }
    bool OnCommand(int id, int code, HWND control) override {
        if (Screen::OnCommand(id, code, control))
            return true;
        return false;
    }
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (message == WM_SHOWWINDOW && wParam) {
            focused = FocusedId();
            // the dialog itself gets the focus, as when it is activated again
            SetFocus(Hwnd());
            focusedAfterRefocus = FocusedId();
            EndDialog(1);
        }
        return Screen::OnMessage(message, wParam, lParam, handled);
    }

private:
    void Record() {
        for (int id : {IDC_BACK, IDC_NEXT, IDC_MINIMIZE, IDC_CLOSE}) {
            names.push_back(TextOf(Item(id)));
        }
    }
    bool systemFocus_;
};

TEST(AccessibleButtons, NamedAfterTheirLabelsAndTheTitleBarFromTheStringTable) {
    PlacedScreen s(IDD_SETUP_COMPLETE, false);
    ASSERT_EQ(s.DoModal(), 1);
    const std::vector<std::string> want = {"Main Menu", "Open",       "Minimize", "Close",
                                           "Main Menu", "Open && Go", "Minimize", "Close"};
    EXPECT_EQ(s.names, want);
}

TEST(AccessibleButtons, TheFocusShowsAsARectangleWithoutAFocusImage) {
    PlacedScreen s(IDD_SETUP_COMPLETE, false);
    ASSERT_EQ(s.DoModal(), 1);
    EXPECT_TRUE(s.xFocusDiffers);
    // hidden until the keyboard is used, as the system's own buttons do
    EXPECT_TRUE(s.xCuesHidden);
    EXPECT_TRUE(s.nextFocusImageOnly);
}

TEST(DefaultFocus, TheTablesControlWhenTheStartUpLeavesItToTheSystem) {
    // the table's choice here is not the first control of the tab order
    const skin::ScreenLayout* layout = skin::FindScreenLayout(IDD_CHOOSE_ACCOUNT);
    ASSERT_NE(layout, nullptr);
    ASSERT_NE(layout->focusId, 0);
    {
        PlacedScreen s(IDD_CHOOSE_ACCOUNT, true);
        ASSERT_EQ(s.DoModal(), 1);
        EXPECT_EQ(s.focused, layout->focusId);
        // and keeps it when the dialog is given the focus again, not the first of the tab order
        EXPECT_EQ(s.focusedAfterRefocus, layout->focusId);
    }
    {
        // a start-up that places the focus itself (returns false) keeps its own
        PlacedScreen s(IDD_CHOOSE_ACCOUNT, false);
        ASSERT_EQ(s.DoModal(), 1);
        EXPECT_EQ(s.focused, 0);
    }
    {
        // no table entry and Next starts disabled: the system's choice would be _, and Enter
        // would minimise; no control has the focus, as before the title bar took part
        PlacedScreen s(IDD_PLEASE_WAIT, true);
        ASSERT_EQ(s.DoModal(), 1);
        EXPECT_EQ(s.focused, 0);
    }
}

} // namespace
