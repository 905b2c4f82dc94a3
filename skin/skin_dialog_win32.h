// SkinDialog: the borderless, bitmap-shaped, draggable base of every screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "skin/button_win32.h"
#include "skin/dialog_win32.h"
#include "skin/label_win32.h"
#include "skin/look.h"

namespace skin {

class SkinDialog : public Dialog {
public:
    explicit SkinDialog(UINT templateId, HWND parent = nullptr);
    ~SkinDialog() override;

    // Every screen's start-up calls it first: title, position, font, background and shape.
    virtual BOOL InitSkin(UINT bitmapId);

    HBRUSH WhiteBrush() const { return whiteBrush_; }
    HBRUSH GreyBrush() const { return greyBrush_; }
    HFONT Font() const { return font_; }
    int BitmapWidth() const { return bitmapWidth_; }
    int BitmapHeight() const { return bitmapHeight_; }
    int HorizontalDpi() const { return dpi_; }

    // Labels and bitmap buttons of the screen, owned by it. The label given to a button is
    // redrawn after every drawing of the button.
    SkinLabel& AddLabel(int id);
    Hyperlink& AddLink(int id);
    BitmapButton& AddButton(int id, const ButtonImages& images, int labelId = 0);
    SkinLabel* FindLabel(int id);
    BitmapButton* FindButton(int id);

    // The window's large icon (task bar, Alt+Tab), one of the program's own. The face does not
    // need it to be painted: it is given once the first painting has begun.
    void SetLargeIcon(UINT iconId);

    // Under the language name "Japanese", hands the skin font to these controls (radio buttons,
    // check boxes, drop-down lists).
    void ApplyJapaneseFont(std::initializer_list<int> ids);

    // Where the next screen opens: the screen rectangle of the last destroyed one.
    static RECT LastScreenPosition();
    static void SetLastScreenPosition(const RECT& r);

    // Region creation and combining, replaceable so that tests can make them fail (null puts the
    // system's back).
    using CreateRegionFn = HRGN(WINAPI*)(int, int, int, int);
    using CombineRegionFn = int(WINAPI*)(HRGN, HRGN, HRGN, int);
    static void SetCreateRegionForTest(CreateRegionFn fn);
    static void SetCombineRegionForTest(CombineRegionFn fn);

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // The brush and colours for radio buttons and check boxes; white by default.
    virtual HBRUSH ControlColour(HDC dc, HWND control);

private:
    void ShapeWindow();
    // The background from the program's resources; sets faceBits_ when it is a section of its own.
    HBITMAP LoadFace(UINT bitmapId);
    // The pixels of a background the system loaded, as 0x00RRGGBB, top line first.
    bool ReadPixels(std::vector<std::uint32_t>* pixels);
    void ReleaseDrawing();

    HBRUSH whiteBrush_;
    HBRUSH greyBrush_;
    HFONT font_ = nullptr;
    int dpi_ = 96;
    DragTracker drag_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    // The background's pixels as 0x00RRGGBB, top line first, while bitmap_ is its section.
    const std::uint32_t* faceBits_ = nullptr;
    HGDIOBJ memoryOld_ = nullptr;
    int bitmapWidth_ = 0;
    int bitmapHeight_ = 0;
    UINT largeIcon_ = 0;
    bool iconPosted_ = false;
    std::vector<std::unique_ptr<SkinLabel>> labels_;
    std::vector<std::unique_ptr<BitmapButton>> buttons_;
};

} // namespace skin
