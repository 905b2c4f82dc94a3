// SkinDialog: background, shape, dragging and the position hand-over between screens.
#include "skin/look.h"
#include "skin/skin_dialog_win32.h"

#include <windowsx.h>

#include "res/resource.h"
#include "skin/resources_win32.h"
#include "skin/shape.h"

namespace skin {
namespace {

RECT g_lastScreen = {0, 0, 0, 0};
SkinDialog::CreateRegionFn g_createRegion = CreateRectRgn;
SkinDialog::CombineRegionFn g_combine = CombineRgn;

// Where the window lies when it is shown normally. A minimised (or maximised) window's own
// rectangle is its parking place, off the desktop near (-32000, -32000); the next screen must
// open where this one would be restored.
RECT NormalRectangle(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    if (!IsIconic(window) && !IsZoomed(window)) {
        return r;
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) {
        return r;
    }
    r = placement.rcNormalPosition;
    // workspace coordinates, which start at the work area for windows other than tool windows
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        RECT work;
        if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
            OffsetRect(&r, work.left, work.top);
        }
    }
    return r;
}

} // namespace

RECT SkinDialog::LastScreenPosition() { return g_lastScreen; }
void SkinDialog::SetLastScreenPosition(const RECT& r) { g_lastScreen = r; }
void SkinDialog::SetCreateRegionForTest(CreateRegionFn fn) {
    g_createRegion = fn ? fn : CreateRectRgn;
}
void SkinDialog::SetCombineRegionForTest(CombineRegionFn fn) { g_combine = fn ? fn : CombineRgn; }

SkinDialog::SkinDialog(UINT templateId, HWND parent)
    : Dialog(templateId, parent), whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))),
      greyBrush_(CreateSolidBrush(RGB(230, 230, 230))) {}

SkinDialog::~SkinDialog() {
    // labels unhook themselves from their windows before the brushes go
    labels_.clear();
    buttons_.clear();
    ReleaseDrawing();
}

void SkinDialog::ReleaseDrawing() {
    if (whiteBrush_) {
        DeleteObject(whiteBrush_);
        whiteBrush_ = nullptr;
    }
    if (greyBrush_) {
        DeleteObject(greyBrush_);
        greyBrush_ = nullptr;
    }
    if (font_) {
        DeleteObject(font_);
        font_ = nullptr;
    }
    if (memory_) {
        if (memoryOld_) {
            SelectObject(memory_, memoryOld_);
        }
        DeleteDC(memory_);
        memory_ = nullptr;
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
}

BOOL SkinDialog::InitSkin(UINT bitmapId) {
    SetWindowTextA(Hwnd(), LoadString(IDS_APP_TITLE).c_str());
    SetWindowPos(Hwnd(), nullptr, g_lastScreen.left, g_lastScreen.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    font_ = CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, "MS UI Gothic");
    SendMessageA(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    memory_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    // backgrounds are never localised: always the program's own
    bitmap_ = static_cast<HBITMAP>(LoadImageA(ProgramModule(), MAKEINTRESOURCEA(bitmapId),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap_) {
        BITMAP bm;
        GetObjectA(bitmap_, sizeof bm, &bm);
        bitmapWidth_ = bm.bmWidth;
        bitmapHeight_ = bm.bmHeight;
        // the face is painted from here whatever becomes of the shape
        memoryOld_ = SelectObject(memory_, bitmap_);
        // the face is the bitmap: where the template's font gives another size, the bitmap wins
        RECT w;
        GetWindowRect(Hwnd(), &w);
        if (w.right - w.left != bitmapWidth_ || w.bottom - w.top != bitmapHeight_) {
            SetWindowPos(Hwnd(), nullptr, 0, 0, bitmapWidth_, bitmapHeight_,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ShapeWindow();
    }
    return TRUE;
}

void SkinDialog::ShapeWindow() {
    RECT w;
    GetWindowRect(Hwnd(), &w);
    const int width = w.right - w.left, height = w.bottom - w.top;
    std::vector<std::uint32_t> pixels;
    if (!ReadPixels(&pixels)) {
        return;
    }
    HRGN region = g_createRegion(0, 0, width, height);
    if (!region) {
        return;
    }
    for (const EdgeRun& run : FindEdgeRuns(pixels.data(), bitmapWidth_, bitmapHeight_)) {
        HRGN cut = g_createRegion(run.first, run.line, run.last + 1, run.line + 1);
        const int r = cut ? g_combine(region, region, cut, RGN_XOR) : ERROR;
        if (cut) {
            DeleteObject(cut);
        }
        if (r == ERROR) {
            // the window stays rectangular
            DeleteObject(region);
            return;
        }
    }
    // the system owns the region from here on
    if (!SetWindowRgn(Hwnd(), region, TRUE)) {
        DeleteObject(region);
    }
}

bool SkinDialog::ReadPixels(std::vector<std::uint32_t>* pixels) {
    pixels->resize(static_cast<std::size_t>(bitmapWidth_) * bitmapHeight_);
    DIBSECTION dib{};
    if (GetObjectA(bitmap_, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits &&
        dib.dsBm.bmBitsPixel == 24 && dib.dsBmih.biHeight > 0) {
        // the section's own bytes: bottom line first, blue, green, red, lines padded to 4 bytes
        GdiFlush();
        const auto* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
        const int stride = dib.dsBm.bmWidthBytes;
        for (int y = 0; y < bitmapHeight_; ++y) {
            const unsigned char* p =
                bits + static_cast<std::size_t>(bitmapHeight_ - 1 - y) * stride;
            std::uint32_t* out = pixels->data() + static_cast<std::size_t>(y) * bitmapWidth_;
            for (int x = 0; x < bitmapWidth_; ++x, p += 3) {
                out[x] = static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
            }
        }
        return true;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bitmapWidth_;
    info.bmiHeader.biHeight = -bitmapHeight_; // top line first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // GetDIBits wants the bitmap out of any device context
    SelectObject(memory_, memoryOld_);
    HDC screen = GetDC(nullptr);
    const int lines =
        GetDIBits(screen, bitmap_, 0, bitmapHeight_, pixels->data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    memoryOld_ = SelectObject(memory_, bitmap_);
    return lines == bitmapHeight_;
}

SkinLabel& SkinDialog::AddLabel(int id) {
    labels_.push_back(std::make_unique<SkinLabel>());
    labels_.back()->Attach(Item(id));
    return *labels_.back();
}

Hyperlink& SkinDialog::AddLink(int id) {
    auto link = std::make_unique<Hyperlink>();
    Hyperlink& ref = *link;
    ref.AttachLink(Item(id));
    labels_.push_back(std::move(link));
    return ref;
}

BitmapButton& SkinDialog::AddButton(int id, const ButtonImages& images, int labelId) {
    buttons_.push_back(std::make_unique<BitmapButton>());
    BitmapButton& b = *buttons_.back();
    b.Attach(Item(id), images);
    if (labelId) {
        b.SetLabel(FindLabel(labelId));
    }
    return b;
}

SkinLabel* SkinDialog::FindLabel(int id) {
    HWND item = Item(id);
    for (auto& l : labels_) {
        if (l->Hwnd() == item && item) {
            return l.get();
        }
    }
    return nullptr;
}

BitmapButton* SkinDialog::FindButton(int id) {
    HWND item = Item(id);
    for (auto& b : buttons_) {
        if (b->Hwnd() == item && item) {
            return b.get();
        }
    }
    return nullptr;
}

void SkinDialog::ApplyJapaneseFont(std::initializer_list<int> ids) {
    if (!IsJapanese(InterfaceLanguage()) || !font_) {
        return;
    }
    for (int id : ids) {
        SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
}

HBRUSH SkinDialog::ControlColour(HDC dc, HWND) {
    SetTextColor(dc, RGB(51, 51, 51));
    SetBkColor(dc, RGB(255, 255, 255));
    return whiteBrush_;
}

INT_PTR SkinDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case WM_ERASEBKGND:
        if (memory_ && bitmap_) {
            BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, bitmapWidth_, bitmapHeight_, memory_, 0, 0,
                   SRCCOPY);
        } else {
            // no background could be loaded: a plain white face rather than what lay beneath
            RECT r;
            GetClientRect(Hwnd(), &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r,
                     static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (BitmapButton* b = FindButton(static_cast<int>(item->CtlID))) {
            b->Draw(*item);
            return TRUE;
        }
        handled = false;
        return FALSE;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        HWND control = reinterpret_cast<HWND>(lParam);
        char cls[16] = {};
        GetClassNameA(control, cls, sizeof cls);
        const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
        if (lstrcmpiA(cls, "Button") == 0 && type != BS_OWNERDRAW) {
            return reinterpret_cast<INT_PTR>(ControlColour(reinterpret_cast<HDC>(wParam), control));
        }
        handled = false;
        return FALSE;
    }
    case WM_LBUTTONDOWN: {
        SetCapture(Hwnd());
        RECT r;
        GetWindowRect(Hwnd(), &r);
        drag_.Begin(r.left, r.top, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return TRUE;
    }
    case WM_MOUSEMOVE:
        if (drag_.Dragging()) {
            const DragTracker::Move m = drag_.Step(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), dpi_,
                                                   bitmapWidth_, bitmapHeight_);
            UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            if (!m.resize) {
                flags |= SWP_NOSIZE;
            }
            SetWindowPos(Hwnd(), nullptr, m.left, m.top, m.width, m.height, flags);
        }
        return TRUE;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (drag_.Dragging()) {
            drag_.End();
            if (message == WM_LBUTTONUP) {
                ReleaseCapture();
            }
        }
        return TRUE;
    case WM_DESTROY: {
        g_lastScreen = NormalRectangle(Hwnd());
        ReleaseDrawing();
        return TRUE;
    }
    default:
        handled = false;
        return FALSE;
    }
}

} // namespace skin
