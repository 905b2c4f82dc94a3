// Drawing and mouse handling of CXScrollBar.
#include "skin/scrollbar_win32.h"

#include <windowsx.h>

#include "res/resource.h"
#include "skin/resources_win32.h"

namespace skin {
namespace {

constexpr const char* kClassName = "TovXScrollBar";
constexpr int kArrow = 16;
constexpr int kMinThumb = 18;

bool RegisterOnce() {
    static bool registered = false;
    if (registered) {
        return true;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    wc.cbWndExtra = sizeof(void*);
    registered = RegisterClassA(&wc) != 0;
    return registered;
}

void FillSolid(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void Triangle(HDC dc, const RECT& r, bool up, COLORREF c) {
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    POINT p[3];
    if (up) {
        p[0] = {cx - 4, cy + 2};
        p[1] = {cx + 4, cy + 2};
        p[2] = {cx, cy - 3};
    } else {
        p[0] = {cx - 4, cy - 2};
        p[1] = {cx + 4, cy - 2};
        p[2] = {cx, cy + 3};
    }
    HBRUSH b = CreateSolidBrush(c);
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
    Polygon(dc, p, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(b);
    DeleteObject(pen);
}

} // namespace

int CXScrollBar::KeyCode(UINT virtualKey) {
    switch (virtualKey) {
    case VK_UP:
    case VK_LEFT:
        return SB_LINEUP;
    case VK_DOWN:
    case VK_RIGHT:
        return SB_LINEDOWN;
    case VK_PRIOR:
        return SB_PAGEUP;
    case VK_NEXT:
        return SB_PAGEDOWN;
    case VK_HOME:
        return SB_TOP;
    case VK_END:
        return SB_BOTTOM;
    default:
        return -1;
    }
}

CXScrollBar::~CXScrollBar() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, 0, 0);
    }
}

bool CXScrollBar::CreateFromPlaceholder(HWND dialog, int id) {
    HWND placeholder = GetDlgItem(dialog, id);
    if (!placeholder || !RegisterOnce()) {
        return false;
    }
    RECT r;
    GetWindowRect(placeholder, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const bool visible = (GetWindowLongA(placeholder, GWL_STYLE) & WS_VISIBLE) != 0;
    // the id is the placeholder's until it has gone
    hwnd_ = CreateWindowExA(0, kClassName, LoadString(IDS_SCROLL_BAR_NAME).c_str(),
                            WS_CHILD | WS_TABSTOP | (visible ? WS_VISIBLE : 0), r.left, r.top,
                            r.right - r.left, r.bottom - r.top, dialog, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) {
        DestroyWindow(placeholder);
        return false;
    }
    // its place in the tab order too, rather than first (new windows go to the top)
    SetWindowPos(hwnd_, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(placeholder);
    SetWindowLongPtrA(hwnd_, GWLP_ID, id);
    SetWindowLongPtrA(hwnd_, 0, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure));
    return true;
}

void CXScrollBar::SetScrollRange(int minimum, int maximum, bool redraw) {
    min_ = minimum;
    max_ = maximum < minimum ? minimum : maximum;
    SetScrollPos(pos_, redraw);
}

void CXScrollBar::SetScrollPos(int pos, bool redraw) {
    pos_ = pos < min_ ? min_ : (pos > max_ ? max_ : pos);
    trackPos_ = pos_;
    if (redraw && hwnd_) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

RECT CXScrollBar::ThumbRect() const {
    RECT c;
    GetClientRect(hwnd_, &c);
    const int track = c.bottom - 2 * kArrow;
    const int span = max_ - min_ + 1;
    int h = span > 0 ? track / span : track;
    if (h < kMinThumb) {
        h = kMinThumb;
    }
    if (h > track) {
        h = track;
    }
    const int shown = dragging_ ? trackPos_ : pos_;
    const int top = max_ > min_ ? kArrow + (track - h) * (shown - min_) / (max_ - min_) : kArrow;
    return RECT{0, top, c.right, top + h};
}

int CXScrollBar::PosFromY(int y) const {
    RECT c;
    GetClientRect(hwnd_, &c);
    const RECT t = ThumbRect();
    const int free = c.bottom - 2 * kArrow - (t.bottom - t.top);
    if (free <= 0 || max_ <= min_) {
        return min_;
    }
    int p = min_ + ((y - kArrow) * (max_ - min_) + free / 2) / free;
    return p < min_ ? min_ : (p > max_ ? max_ : p);
}

void CXScrollBar::Notify(int code, int pos) {
    SendMessageA(GetParent(hwnd_), WM_VSCROLL, MAKEWPARAM(code, pos), (LPARAM)hwnd_);
}

void CXScrollBar::Paint(HDC dc) {
    RECT c;
    GetClientRect(hwnd_, &c);
    FillSolid(dc, c, RGB(236, 240, 247));
    RECT up{0, 0, c.right, kArrow}, down{0, c.bottom - kArrow, c.right, c.bottom};
    FillSolid(dc, up, RGB(214, 223, 240));
    FillSolid(dc, down, RGB(214, 223, 240));
    Triangle(dc, up, true, RGB(26, 51, 144));
    Triangle(dc, down, false, RGB(26, 51, 144));
    if (max_ > min_ && IsWindowEnabled(hwnd_)) {
        RECT t = ThumbRect();
        InflateRect(&t, -2, -1);
        FillSolid(dc, t, dragging_ ? RGB(26, 51, 144) : RGB(74, 105, 196));
    }
    if (GetFocus() == hwnd_) {
        // the keyboard moves it now: say so around the track
        RECT f{1, kArrow, c.right - 1, c.bottom - kArrow};
        DrawFocusRect(dc, &f);
    }
}

LRESULT CALLBACK CXScrollBar::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CXScrollBar*>(GetWindowLongPtrA(hwnd, 0));
    if (!self) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT CXScrollBar::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Paint(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_GETDLGCODE:
        // the arrows move it rather than the focus
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        // as a standard scroll bar: the key's action when it goes down, the end when it comes up
        const int code = KeyCode(static_cast<UINT>(wParam));
        if (code < 0) {
            return DefWindowProcA(hwnd_, message, wParam, lParam);
        }
        Notify(message == WM_KEYDOWN ? code : SB_ENDSCROLL, 0);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const int y = GET_Y_LPARAM(lParam);
        RECT c;
        GetClientRect(hwnd_, &c);
        const RECT t = ThumbRect();
        SetCapture(hwnd_);
        if (y < kArrow) {
            Notify(SB_LINEUP, 0);
        } else if (y >= c.bottom - kArrow) {
            Notify(SB_LINEDOWN, 0);
        } else if (y < t.top) {
            Notify(SB_PAGEUP, 0);
        } else if (y >= t.bottom) {
            Notify(SB_PAGEDOWN, 0);
        } else {
            dragging_ = true;
            grabOffset_ = y - t.top;
            trackPos_ = pos_;
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_) {
            const int p = PosFromY(GET_Y_LPARAM(lParam) - grabOffset_);
            if (p != trackPos_) {
                trackPos_ = p;
                InvalidateRect(hwnd_, nullptr, FALSE);
                Notify(SB_THUMBTRACK, p);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        // releasing the capture ends the drag (WM_CAPTURECHANGED): remember it first
        const bool wasDragging = dragging_;
        dragging_ = false;
        ReleaseCapture();
        if (wasDragging) {
            Notify(SB_THUMBPOSITION, trackPos_);
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        Notify(SB_ENDSCROLL, 0);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return 0;
    default:
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

} // namespace skin
