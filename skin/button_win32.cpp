// Drawing of the bitmap buttons.
#include "skin/button_win32.h"

#include "skin/label_win32.h"
#include "skin/resources_win32.h"

namespace skin {
namespace {

HBITMAP LoadButtonBitmap(UINT id) {
    if (!id) {
        return nullptr;
    }
    HBITMAP b = LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(id));
    // a language library without its own button images falls back to the program's
    if (!b && ResourceModule() != ProgramModule()) {
        b = LoadBitmapA(ProgramModule(), MAKEINTRESOURCEA(id));
    }
    return b;
}

} // namespace

BitmapButton::~BitmapButton() {
    for (HBITMAP b : {up_, down_, focused_, disabled_}) {
        if (b) {
            DeleteObject(b);
        }
    }
}

bool BitmapButton::Attach(HWND button, const ButtonImages& images) {
    if (!button) {
        return false;
    }
    hwnd_ = button;
    ids_ = images;
    up_ = LoadButtonBitmap(images.up);
    LONG style = GetWindowLongA(button, GWL_STYLE);
    style = (style & ~BS_TYPEMASK) | BS_OWNERDRAW;
    SetWindowLongA(button, GWL_STYLE, style);
    if (up_) {
        BITMAP bm;
        GetObjectA(up_, sizeof bm, &bm);
        size_ = {bm.bmWidth, bm.bmHeight};
        SetWindowPos(button, nullptr, 0, 0, bm.bmWidth, bm.bmHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(button, nullptr, TRUE);
    return up_ != nullptr;
}

HBITMAP BitmapButton::Image(HBITMAP& loaded, UINT& id) {
    if (!loaded && id) {
        loaded = LoadButtonBitmap(id);
        // a missing image is looked for once
        if (!loaded) {
            id = 0;
        }
    }
    return loaded;
}

void BitmapButton::SetName(const std::string& name) {
    if (hwnd_) {
        // the system's own handling of the text only: the button class would clear and paint it
        DefWindowProcA(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

void BitmapButton::Draw(const DRAWITEMSTRUCT& item) {
    HBITMAP image = up_;
    HBITMAP state = nullptr;
    bool focusShown = false;
    if ((item.itemState & ODS_SELECTED) && (state = Image(down_, ids_.down))) {
        image = state;
        focusShown = (item.itemState & ODS_FOCUS) && Image(focused_, ids_.focused);
    } else if ((item.itemState & ODS_FOCUS) && (state = Image(focused_, ids_.focused))) {
        image = state;
        focusShown = true;
    } else if ((item.itemState & ODS_DISABLED) && (state = Image(disabled_, ids_.disabled))) {
        image = state;
    }
    if (image) {
        HDC mem = CreateCompatibleDC(item.hDC);
        HGDIOBJ old = SelectObject(mem, image);
        const RECT& r = item.rcItem;
        BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    if ((item.itemState & ODS_FOCUS) && !focusShown && !(item.itemState & ODS_NOFOCUSRECT)) {
        // no image of its own for the focus: the keyboard user still sees where it is
        RECT r = item.rcItem;
        InflateRect(&r, -1, -1);
        DrawFocusRect(item.hDC, &r);
    }
    // the label painted over the button must stay visible
    if (label_) {
        label_->SetDimmed((item.itemState & ODS_DISABLED) != 0);
        if (GetUpdateRect(label_->Hwnd(), nullptr, FALSE)) {
            // it lies below the button and waits for this same painting: all of it, then
            InvalidateRect(label_->Hwnd(), nullptr, TRUE);
        } else {
            label_->Redraw();
        }
    }
}

} // namespace skin
