// SkinDialog in this process: the skin font and the options that get it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "skin/look.h"
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

} // namespace
