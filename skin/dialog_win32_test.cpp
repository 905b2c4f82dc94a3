// The dialog layer in this process: modal runs, their owners, and templates that are missing.
#include <windows.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "skin/screen_win32.h"

namespace {

// An outer screen that opens an inner one without naming a parent.
class OuterScreen : public skin::Screen {
public:
    OuterScreen() : Screen(IDD_MAIN_MENU) {}
    HWND innerOwner = nullptr;
    bool outerEnabledDuringInner = true;
    bool outerEnabledAfter = false;
    int innerResult = 0;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_MAIN_MENU);
        PostMessageA(Hwnd(), WM_APP + 9, 0, 0);
        return true;
    }
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l, bool& handled) override;
};

class InnerScreen : public skin::Screen {
public:
    explicit InnerScreen(OuterScreen* outer) : Screen(IDD_MESSAGE), outer_(outer) {}
    HWND owner = nullptr;
    bool outerEnabled = true;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_MESSAGE);
        owner = GetWindow(Hwnd(), GW_OWNER);
        outerEnabled = IsWindowEnabled(outer_->Hwnd()) != 0;
        EndDialog(128);
        return true;
    }

private:
    OuterScreen* outer_;
};

INT_PTR OuterScreen::OnMessage(UINT m, WPARAM w, LPARAM l, bool& handled) {
    if (m == WM_APP + 9) {
        InnerScreen inner(this);
        innerResult = inner.DoModal();
        innerOwner = inner.owner;
        outerEnabledDuringInner = inner.outerEnabled;
        outerEnabledAfter = IsWindowEnabled(Hwnd()) != 0;
        EndDialog(101);
        handled = true;
        return TRUE;
    }
    return Screen::OnMessage(m, w, l, handled);
}

TEST(DialogLayer, ADialogOpenedFromAnotherBelongsToIt) {
    OuterScreen outer;
    EXPECT_EQ(outer.DoModal(), 101);
    EXPECT_EQ(outer.innerResult, 128);
    EXPECT_NE(outer.innerOwner, nullptr);
    EXPECT_FALSE(outer.outerEnabledDuringInner);
    EXPECT_TRUE(outer.outerEnabledAfter);
}

TEST(DialogLayer, AMissingTemplateGivesMinusOne) {
    skin::Screen s(4321);
    EXPECT_EQ(s.DoModal(), -1);
}

} // namespace
