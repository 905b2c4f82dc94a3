// CXScrollBar: the skin's own vertical scroll bar, drawn to match the screens.
#pragma once

#include <windows.h>

namespace skin {

// Sends WM_VSCROLL to its parent like a standard scroll bar control (lParam = its window):
// SB_LINEUP/SB_LINEDOWN from the arrows, SB_PAGEUP/SB_PAGEDOWN from the track, SB_THUMBTRACK
// while the thumb is dragged, SB_THUMBPOSITION when it is let go, then SB_ENDSCROLL. It is a tab
// stop named for screen readers; with the focus, the arrow keys, Page Up, Page Down, Home and
// End scroll as they do a standard scroll bar (SB_ENDSCROLL when the key comes up), and a focus
// rectangle shows around the track.
class CXScrollBar {
public:
    CXScrollBar() = default;
    ~CXScrollBar();
    CXScrollBar(const CXScrollBar&) = delete;
    CXScrollBar& operator=(const CXScrollBar&) = delete;

    // Takes the place, id, visibility and tab order of a placeholder control of a dialog template.
    bool CreateFromPlaceholder(HWND dialog, int id);
    HWND Hwnd() const { return hwnd_; }

    void SetScrollRange(int minimum, int maximum, bool redraw = true);
    void SetScrollPos(int pos, bool redraw = true);
    int GetScrollPos() const { return pos_; }
    // The position under the thumb while it is dragged.
    int GetTrackPos() const { return trackPos_; }
    bool ThumbHeld() const { return dragging_; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    RECT ThumbRect() const;
    int PosFromY(int y) const;
    void Notify(int code, int pos);
    // The scroll code of a key, or -1 for a key it does not take.
    static int KeyCode(UINT virtualKey);

    HWND hwnd_ = nullptr;
    int min_ = 0, max_ = 0, pos_ = 0, trackPos_ = 0;
    bool dragging_ = false;
    int grabOffset_ = 0;
};

} // namespace skin
