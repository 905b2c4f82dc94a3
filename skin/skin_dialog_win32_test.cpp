// SkinDialog in this process: the skin font and the options that get it, the face when the shape
// cannot be made, and the position handed to the next screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "res/resource.h"
#include "skin/look.h"
#include "skin/resources_win32.h"
#include "skin/screen_win32.h"

namespace {

// Shows the sort settings screen and reports the fonts of its radio buttons.
class FontScreen : public skin::Screen {
public:
    FontScreen() : Screen(IDD_SORT_SETTINGS) {}
    HFONT skinFont = nullptr, radioFont = nullptr, checkedLabelFont = nullptr;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_GENERAL);
        ApplyJapaneseFont({IDC_SORT_ON, IDC_SORT_OFF});
        skinFont = Font();
        radioFont = reinterpret_cast<HFONT>(SendMessageA(Item(IDC_SORT_ON), WM_GETFONT, 0, 0));
        EndDialog(1);
        return true;
    }
};

TEST(SkinFont, JapaneseGetsTheSkinFontOnOptions) {
    const std::string before = skin::InterfaceLanguage();
    skin::SetInterfaceLanguage("Japanese");
    {
        FontScreen s;
        EXPECT_EQ(s.DoModal(), 1);
        ASSERT_NE(s.skinFont, nullptr);
        EXPECT_EQ(s.radioFont, s.skinFont);
    }
    skin::SetInterfaceLanguage("English");
    {
        FontScreen s;
        EXPECT_EQ(s.DoModal(), 1);
        EXPECT_NE(s.radioFont, s.skinFont);
    }
    skin::SetInterfaceLanguage(before);
}

TEST(SkinFont, TheSkinFontIsMsUiGothic12) {
    FontScreen s;
    EXPECT_EQ(s.DoModal(), 1);
    // the font is gone with the window; its description stays checkable through a new one
    LOGFONTA lf{};
    HFONT f = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                          CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS UI Gothic");
    GetObjectA(f, sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, 12);
    EXPECT_STREQ(lf.lfFaceName, "MS UI Gothic");
    DeleteObject(f);
}

// The pixels that draw(dc) leaves in a white 650 x 364 surface.
template <class F>
std::vector<std::uint32_t> Render(F draw) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, 650, -364, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, b);
    RECT r{0, 0, 650, 364};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw(dc);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> out(p, p + 650 * 364);
    SelectObject(dc, old);
    DeleteObject(b);
    DeleteDC(dc);
    return out;
}

HRGN WINAPI NoRegion(int, int, int, int) { return nullptr; }

// Erases its background into a surface of the test's own while no region can be made.
class FaceScreen : public skin::Screen {
public:
    FaceScreen() : Screen(IDD_PLEASE_WAIT) {}
    std::vector<std::uint32_t> face;
    bool shaped = true;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_GENERAL);
        HRGN probe = CreateRectRgn(0, 0, 1, 1);
        shaped = GetWindowRgn(Hwnd(), probe) != ERROR;
        DeleteObject(probe);
        face = Render([&](HDC dc) { SendMessageA(Hwnd(), WM_ERASEBKGND, (WPARAM)dc, 0); });
        EndDialog(1);
        return true;
    }
};

TEST(SkinFace, AShapeThatCannotBeMadeLeavesTheFacePainted) {
    skin::SkinDialog::SetCreateRegionForTest(NoRegion);
    FaceScreen s;
    const int result = s.DoModal();
    skin::SkinDialog::SetCreateRegionForTest(nullptr);
    ASSERT_EQ(result, 1);
    EXPECT_FALSE(s.shaped) << "the window stays rectangular";
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageA(skin::ProgramModule(), MAKEINTRESOURCEA(IDB_BG_GENERAL),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    const std::vector<std::uint32_t> expected = Render([&](HDC dc) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, bitmap);
        BitBlt(dc, 0, 0, 650, 364, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    });
    DeleteObject(bitmap);
    EXPECT_TRUE(s.face == expected) << "the face is the background bitmap";
}

// Moves itself, is minimised, and ends while minimised.
class MinimisedScreen : public skin::Screen {
public:
    MinimisedScreen() : Screen(IDD_PLEASE_WAIT) {}
    bool iconic = false;
    RECT parked{};

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_GENERAL);
        SetWindowPos(Hwnd(), nullptr, 123, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PostMessageA(Hwnd(), WM_APP + 5, 0, 0);
        return true;
    }
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l, bool& handled) override {
        if (m == WM_APP + 5) {
            ShowWindow(Hwnd(), SW_MINIMIZE);
            iconic = IsIconic(Hwnd()) != 0;
            GetWindowRect(Hwnd(), &parked);
            EndDialog(1);
            handled = true;
            return TRUE;
        }
        return Screen::OnMessage(m, w, l, handled);
    }
};

TEST(SkinPosition, AScreenThatEndsMinimisedHandsOnItsNormalPlace) {
    const RECT before = skin::SkinDialog::LastScreenPosition();
    MinimisedScreen s;
    ASSERT_EQ(s.DoModal(), 1);
    ASSERT_TRUE(s.iconic);
    ASSERT_NE(s.parked.left, 123) << "a minimised window lies elsewhere";
    const RECT next = skin::SkinDialog::LastScreenPosition();
    skin::SkinDialog::SetLastScreenPosition(before);
    EXPECT_EQ(next.left, 123);
    EXPECT_EQ(next.top, 45);
    EXPECT_EQ(next.right - next.left, 650);
    EXPECT_EQ(next.bottom - next.top, 364);
}

} // namespace
