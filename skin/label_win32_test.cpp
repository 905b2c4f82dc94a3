// SkinLabel in this process: the face and size it draws with, by the interface language.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "res/resource.h"
#include "skin/look.h"
#include "skin/screen_win32.h"

namespace {

// Draws a label of the given size into a bitmap, and the same text as the font rule says.
class LabelScreen : public skin::Screen {
public:
    LabelScreen() : Screen(IDD_SORT_SETTINGS) {}
    std::vector<std::uint32_t> painted, expected, verdana;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_GENERAL);
        skin::SkinLabel& l = AddLabel(IDC_TITLE);
        l.SetColours(RGB(0, 0, 0), skin::kTransparentBack);
        l.SetSize(15);
        l.SetBold(true);
        MoveItem(IDC_TITLE, 0, 0, 200, 24);
        l.SetText("Drag and Sort");
        painted = Render([&](HDC dc) { SendMessageA(l.Hwnd(), WM_PRINTCLIENT, (WPARAM)dc, 0); });
        const skin::LabelFont f = skin::ChooseLabelFont(15, true, false, skin::InterfaceLanguage());
        expected = Render([&](HDC dc) { Text(dc, f.face.c_str(), f.height); });
        verdana = Render([&](HDC dc) { Text(dc, "Verdana", 15); });
        EndDialog(1);
        return true;
    }

private:
    template <class F>
    static std::vector<std::uint32_t> Render(F draw) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, 200, -24, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, b);
        RECT r{0, 0, 200, 24};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        draw(dc);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> out(p, p + 200 * 24);
        SelectObject(dc, old);
        DeleteObject(b);
        DeleteDC(dc);
        return out;
    }
    static void Text(HDC dc, const char* face, int height) {
        HFONT f =
            CreateFontA(height, 0, 0, 0, 700, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                        CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
        HGDIOBJ old = SelectObject(dc, f);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        RECT r{0, 0, 200, 24};
        DrawTextA(dc, "Drag and Sort", -1, &r, DT_WORDBREAK);
        SelectObject(dc, old);
        DeleteObject(f);
    }
};

TEST(SkinFont, LabelsDrawVerdanaOrMsUiGothicTwoUnitsSmaller) {
    const std::string before = skin::InterfaceLanguage();
    skin::SetInterfaceLanguage("Japanese");
    {
        LabelScreen s;
        ASSERT_EQ(s.DoModal(), 1);
        EXPECT_EQ(s.painted, s.expected) << "the label follows the font rule";
        EXPECT_NE(s.painted, s.verdana) << "and is not drawn in Verdana 15";
    }
    skin::SetInterfaceLanguage("English");
    {
        LabelScreen s;
        ASSERT_EQ(s.DoModal(), 1);
        EXPECT_EQ(s.painted, s.verdana);
    }
    skin::SetInterfaceLanguage(before);
}

} // namespace
