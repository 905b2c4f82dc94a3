// Painting of SkinLabel and Hyperlink.
#include "skin/label_win32.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "skin/button_win32.h"
#include "skin/look.h"
#include "skin/names.h"
#include "skin/resources_win32.h"

namespace skin {
namespace {
constexpr const char* kLabelProperty = "tovSkinLabel";

// The fonts of the labels, one for each look, made once for the whole run: a screen's labels share
// a few looks, and making a font for every painting would be the dearest part of drawing a
// screen. Labels paint on more than one thread (a worker may show a message of its own).
HFONT SharedFont(const LabelFont& wanted) {
    static std::mutex lock;
    static std::vector<std::pair<LabelFont, HFONT>> made;
    std::lock_guard<std::mutex> hold(lock);
    for (const auto& entry : made) {
        const LabelFont& f = entry.first;
        if (f.face == wanted.face && f.height == wanted.height && f.weight == wanted.weight &&
            f.underline == wanted.underline) {
            return entry.second;
        }
    }
    HFONT font = CreateFontA(wanted.height, 0, 0, 0, wanted.weight, FALSE, wanted.underline, FALSE,
                             DEFAULT_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wanted.face.c_str());
    if (font) {
        made.push_back({wanted, font});
    }
    return font;
}
} // namespace

SkinLabel::~SkinLabel() {
    if (hwnd_ && IsWindow(hwnd_) && original_) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(hwnd_, kLabelProperty);
    }
}

bool SkinLabel::Attach(HWND control) {
    if (!control || hwnd_) {
        return false;
    }
    hwnd_ = control;
    SetPropA(control, kLabelProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
    return original_ != nullptr;
}

void SkinLabel::SetColours(COLORREF text, COLORREF back) {
    text_ = text;
    back_ = back;
}

void SkinLabel::SetBold(bool bold) { bold_ = bold; }
void SkinLabel::SetSize(int size) { size_ = size; }
void SkinLabel::SetUnderline() { underline_ = true; }
void SkinLabel::SetWhiteFill(bool fill) { whiteFill_ = fill; }
void SkinLabel::SetTextFromId(UINT stringId) { SetText(LoadString(stringId)); }

void SkinLabel::SetText(const std::string& text) {
    if (hwnd_) {
        SetWindowTextA(hwnd_, text.c_str());
    }
}

void SkinLabel::NameButton(BitmapButton* button) {
    named_ = button;
    PassNameOn();
}

void SkinLabel::PassNameOn() {
    if (!named_ || !hwnd_) {
        return;
    }
    const int n = GetWindowTextLengthA(hwnd_);
    std::string text(n + 1, '\0');
    text.resize(static_cast<std::size_t>(std::max(0, GetWindowTextA(hwnd_, &text[0], n + 1))));
    const bool noPrefix = (GetWindowLongA(hwnd_, GWL_STYLE) & SS_NOPREFIX) != 0;
    named_->SetName(ButtonNameFromLabel(text, noPrefix));
}

void SkinLabel::Redraw() {
    if (hwnd_) {
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void SkinLabel::RefreshFace() {
    if (!hwnd_) {
        return;
    }
    // a transparent label shows what lies beneath it: that part of the face and the controls
    // on it (a button redraws its label after itself) are drawn again
    HWND parent = GetParent(hwnd_);
    if (parent && back_ == kTransparentBack && !whiteFill_) {
        RECT r;
        GetWindowRect(hwnd_, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        RedrawWindow(parent, &r, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    Redraw();
}

UINT LabelDrawFlags(DWORD style) {
    UINT flags = 0;
    const DWORD type = style & SS_TYPEMASK;
    if (type == SS_CENTER) {
        flags |= DT_CENTER;
    } else if (type == SS_RIGHT) {
        flags |= DT_RIGHT;
    }
    bool layout = false;
    if (style & SS_CENTERIMAGE) {
        flags |= DT_SINGLELINE | DT_VCENTER;
        layout = true;
    }
    if (style & SS_NOPREFIX) {
        flags |= DT_NOPREFIX;
    }
    switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS:
        flags |= DT_END_ELLIPSIS;
        layout = true;
        break;
    case SS_PATHELLIPSIS:
        flags |= DT_PATH_ELLIPSIS;
        layout = true;
        break;
    case SS_WORDELLIPSIS:
        flags |= DT_WORD_ELLIPSIS;
        layout = true;
        break;
    default:
        break;
    }
    if (!layout) {
        flags |= DT_WORDBREAK;
    }
    return flags;
}

bool LabelTextExtent(HWND control, SIZE* needed) {
    const auto* label = static_cast<const SkinLabel*>(GetPropA(control, kLabelProperty));
    const DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    const DWORD type = style & SS_TYPEMASK;
    if (!label || type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE ||
        (style & SS_ELLIPSISMASK)) {
        return false;
    }
    const int n = GetWindowTextLengthA(control);
    std::string text(n + 1, '\0');
    text.resize(GetWindowTextA(control, &text[0], n + 1));
    RECT r;
    GetClientRect(control, &r);
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, SharedFont(ChooseLabelFont(label->Size(), label->Bold(),
                                                    label->Underline(), InterfaceLanguage())));
    RECT need = {0, 0, r.right, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &need,
              LabelDrawFlags(style) | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    needed->cx = need.right - need.left;
    needed->cy = need.bottom - need.top;
    return true;
}

void SkinLabel::Paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE));
    if ((style & SS_TYPEMASK) == SS_ICON) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd_, STM_GETICON, 0, 0));
        if (icon) {
            DrawIconEx(dc, (r.right - 18) / 2, (r.bottom - 18) / 2, icon, 17, 17, 0, nullptr,
                       DI_NORMAL);
        }
        return;
    }
    HFONT font = SharedFont(ChooseLabelFont(size_, bold_, underline_, InterfaceLanguage()));
    HGDIOBJ oldFont = SelectObject(dc, font);
    if (dimmed_) {
        // halfway to the pale grey of the disabled button image
        SetTextColor(dc, RGB((GetRValue(text_) + 170) / 2, (GetGValue(text_) + 170) / 2,
                             (GetBValue(text_) + 170) / 2));
    } else {
        SetTextColor(dc, text_);
    }
    if (back_ != kTransparentBack) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, back_);
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
    if (whiteFill_) {
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    const int n = GetWindowTextLengthA(hwnd_);
    std::string text(n + 1, '\0');
    const int got = GetWindowTextA(hwnd_, &text[0], n + 1);
    DrawTextA(dc, text.c_str(), got > 0 ? got : 0, &r, LabelDrawFlags(style));
    SelectObject(dc, oldFont);
}

LRESULT SkinLabel::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(original_, hwnd_, message, wParam, lParam);
}

LRESULT SkinLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const DWORD type = static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)) & SS_TYPEMASK;
    if (type == SS_BITMAP || type == SS_ENHMETAFILE) {
        return CallOriginal(message, wParam, lParam);
    }
    switch (message) {
    case WM_NCPAINT:
        // a label has no frame: nothing of it lies outside the client area to be drawn
        if (!(GetWindowLongA(hwnd_, GWL_STYLE) & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) &&
            !(GetWindowLongA(hwnd_, GWL_EXSTYLE) &
              (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME))) {
            return 0;
        }
        return CallOriginal(message, wParam, lParam);
    case WM_ERASEBKGND:
        // the face beneath is the parent's bitmap
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Paint(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETTEXT:
    case WM_ENABLE: {
        LRESULT r = CallOriginal(message, wParam, lParam);
        if (message == WM_SETTEXT) {
            PassNameOn();
        }
        // a label not on the screen (or on a screen not shown yet) is painted when it shows
        if (IsWindowVisible(hwnd_)) {
            RefreshFace();
        }
        return r;
    }
    default:
        return CallOriginal(message, wParam, lParam);
    }
}

LRESULT CALLBACK SkinLabel::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<SkinLabel*>(GetPropA(hwnd, kLabelProperty));
    if (!self) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        WNDPROC original = self->original_;
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(hwnd, kLabelProperty);
        self->hwnd_ = nullptr;
        self->original_ = nullptr;
        return CallWindowProcA(original, hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

bool Hyperlink::AttachLink(HWND control) {
    if (!Attach(control)) {
        return false;
    }
    SetWindowLongA(control, GWL_STYLE, GetWindowLongA(control, GWL_STYLE) | SS_NOTIFY);
    SetColours(kTitleBlue, kTransparentBack);
    SetUnderline();
    return true;
}

LRESULT Hyperlink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        return SkinLabel::HandleMessage(message, wParam, lParam);
    }
}

} // namespace skin
