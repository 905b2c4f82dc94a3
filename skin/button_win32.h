// Owner-drawn bitmap button: up, down, focused and disabled images, sized to its bitmap.
#pragma once

#include <windows.h>

#include <string>

namespace skin {

class SkinLabel;

struct ButtonImages {
    UINT up = 0;
    UINT down = 0;
    UINT focused = 0;
    UINT disabled = 0;
};

class BitmapButton {
public:
    BitmapButton() = default;
    ~BitmapButton();
    BitmapButton(const BitmapButton&) = delete;
    BitmapButton& operator=(const BitmapButton&) = delete;

    // Makes the button owner-drawn at the size of its up image. The images come from the
    // resource module (the language library or the program): the up image now, each other one
    // when the button is first drawn in its state.
    bool Attach(HWND button, const ButtonImages& images);
    HWND Hwnd() const { return hwnd_; }
    int Id() const { return hwnd_ ? GetDlgCtrlID(hwnd_) : 0; }

    // The label drawn over the button, redrawn after every drawing of the button.
    void SetLabel(SkinLabel* label) { label_ = label; }
    SkinLabel* Label() const { return label_; }

    // The button's window text, which screen readers say: set without the button drawing it
    // (its face is the bitmap and the label over it).
    void SetName(const std::string& name);

    // WM_DRAWITEM for this button. A button without a focused image shows the focus as a
    // rectangle, unless the system hides keyboard cues.
    void Draw(const DRAWITEMSTRUCT& item);
    SIZE Size() const { return size_; }

private:
    HBITMAP Image(HBITMAP& loaded, UINT& id);

    HWND hwnd_ = nullptr;
    ButtonImages ids_;
    HBITMAP up_ = nullptr, down_ = nullptr, focused_ = nullptr, disabled_ = nullptr;
    SIZE size_{0, 0};
    SkinLabel* label_ = nullptr;
};

} // namespace skin
