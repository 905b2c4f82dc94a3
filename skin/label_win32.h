// SkinLabel, the text label drawn over a screen's bitmap, and the hyperlink built on it.
#pragma once

#include <windows.h>

#include <string>

namespace skin {

class BitmapButton;

class SkinLabel {
public:
    SkinLabel() = default;
    virtual ~SkinLabel();
    SkinLabel(const SkinLabel&) = delete;
    SkinLabel& operator=(const SkinLabel&) = delete;

    // Takes over the painting of a static control.
    bool Attach(HWND control);
    HWND Hwnd() const { return hwnd_; }

    // back 1 means transparent, which is what the screens pass.
    void SetColours(COLORREF text, COLORREF back);
    void SetBold(bool bold);
    void SetSize(int size);
    void SetUnderline();
    void SetWhiteFill(bool fill);
    void SetTextFromId(UINT stringId);
    // The label of a disabled button is drawn paler.
    void SetDimmed(bool dimmed) { dimmed_ = dimmed; }
    void SetText(const std::string& text);
    // The bitmap button this label is drawn over: its name (its window text, for screen readers)
    // follows this label's text from now on, however the text is set.
    void NameButton(BitmapButton* button);

    // Invalidate, erase and redraw at once (over whatever is drawn beneath).
    void Redraw();
    // Draws the face and controls beneath again, then the label: after its text changed.
    void RefreshFace();

    COLORREF TextColour() const { return text_; }
    COLORREF BackColour() const { return back_; }
    bool Bold() const { return bold_; }
    bool Underline() const { return underline_; }
    int Size() const { return size_; }

protected:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    // Gives the named button this label's text as its name.
    void PassNameOn();

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC original_ = nullptr;
    COLORREF text_ = 0;
    COLORREF back_ = 1;
    bool bold_ = false;
    bool underline_ = false;
    int size_ = 13;
    bool whiteFill_ = false;
    bool dimmed_ = false;
    BitmapButton* named_ = nullptr;
};

// DrawText flags for a label of the given static style.
UINT LabelDrawFlags(DWORD style);

// The size a skinned label's text takes when it is painted: in its own font, broken into lines at
// the control's width as painting breaks them (a word wider than the control widens it). False for
// a control that is no skinned text label or cuts its text with an ellipsis by design.
bool LabelTextExtent(HWND control, SIZE* needed);

// A label that acts as a link: hand cursor, and a click is a BN_CLICKED command to the parent.
class Hyperlink : public SkinLabel {
public:
    bool AttachLink(HWND control);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace skin
