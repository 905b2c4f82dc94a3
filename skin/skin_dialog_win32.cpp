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

// Posted to a screen to give it its large icon after its first painting.
UINT LargeIconMessage() {
    static const UINT message = RegisterWindowMessageA("tovSkinLargeIcon");
    return message;
}
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
        faceBits_ = nullptr;
    }
}

BOOL SkinDialog::InitSkin(UINT bitmapId) {
    SetWindowTextA(Hwnd(), LoadString(IDS_APP_TITLE).c_str());
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    font_ = CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, "MS UI Gothic");
    SendMessageA(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    memory_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    // backgrounds are never localised: always the program's own
    bitmap_ = LoadFace(bitmapId);
    if (bitmap_) {
        BITMAP bm;
        GetObjectA(bitmap_, sizeof bm, &bm);
        bitmapWidth_ = bm.bmWidth;
        bitmapHeight_ = bm.bmHeight;
        // the face is painted from here whatever becomes of the shape
        memoryOld_ = SelectObject(memory_, bitmap_);
    }
    // Where the last screen was, and the face's size where the template's font gives another:
    // one move for both.
    RECT w;
    GetWindowRect(Hwnd(), &w);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!bitmap_ || (w.right - w.left == bitmapWidth_ && w.bottom - w.top == bitmapHeight_)) {
        flags |= SWP_NOSIZE;
    }
    SetWindowPos(Hwnd(), nullptr, g_lastScreen.left, g_lastScreen.top, bitmapWidth_, bitmapHeight_,
                 flags);
    if (bitmap_) {
        ShapeWindow();
    }
    return TRUE;
}

void SkinDialog::ShapeWindow() {
    RECT w;
    GetWindowRect(Hwnd(), &w);
    const int width = w.right - w.left, height = w.bottom - w.top;
    std::vector<std::uint32_t> read;
    const std::uint32_t* pixels = faceBits_;
    if (!pixels) {
        if (!ReadPixels(&read)) {
            return;
        }
        pixels = read.data();
    }
    HRGN region = g_createRegion(0, 0, width, height);
    if (!region) {
        return;
    }
    // The runs, one pixel high each, never overlap: cut out all at once, as one region of them.
    const std::vector<EdgeRun> runs = FindEdgeRuns(pixels, bitmapWidth_, bitmapHeight_);
    if (!runs.empty()) {
        std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
        auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
        header->dwSize = sizeof(RGNDATAHEADER);
        header->iType = RDH_RECTANGLES;
        header->nCount = static_cast<DWORD>(runs.size());
        header->nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
        header->rcBound = {0, 0, bitmapWidth_, bitmapHeight_};
        auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
        for (std::size_t i = 0; i < runs.size(); ++i) {
            rects[i] = {runs[i].first, runs[i].line, runs[i].last + 1, runs[i].line + 1};
        }
        HRGN cuts = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                    reinterpret_cast<const RGNDATA*>(data.data()));
        const int r = cuts ? g_combine(region, region, cuts, RGN_XOR) : ERROR;
        if (cuts) {
            DeleteObject(cuts);
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

HBITMAP SkinDialog::LoadFace(UINT bitmapId) {
    faceBits_ = nullptr;
    // The resource's 24-bit lines, turned once into a 32-bit section of the same pixels, top
    // line first: painting the face is then a plain copy rather than a conversion of every pixel,
    // and the shape is read from the same bits, exactly as stored whatever the display's depth.
    HRSRC found = FindResourceA(ProgramModule(), MAKEINTRESOURCEA(bitmapId), RT_BITMAP);
    const auto* header = found ? static_cast<const BITMAPINFOHEADER*>(
                                     LockResource(LoadResource(ProgramModule(), found)))
                               : nullptr;
    const int width = header ? header->biWidth : 0;
    const int height = header ? (header->biHeight < 0 ? -header->biHeight : header->biHeight) : 0;
    const std::size_t stride = static_cast<std::size_t>(width * 3 + 3) / 4 * 4;
    if (header && header->biBitCount == 24 && header->biCompression == BI_RGB && width > 0 &&
        height > 0 &&
        SizeofResource(ProgramModule(), found) >=
            header->biSize + header->biClrUsed * sizeof(RGBQUAD) + stride * height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP face = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (face && bits) {
            const auto* source = reinterpret_cast<const unsigned char*>(header) + header->biSize +
                                 header->biClrUsed * sizeof(RGBQUAD);
            auto* out = static_cast<std::uint32_t*>(bits);
            const bool bottomUp = header->biHeight > 0;
            for (int y = 0; y < height; ++y) {
                // blue, green, red; lines padded to 4 bytes
                const unsigned char* p = source + (bottomUp ? height - 1 - y : y) * stride;
                for (int x = 0; x < width; ++x, p += 3) {
                    *out++ = static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
                }
            }
            faceBits_ = static_cast<const std::uint32_t*>(bits);
            return face;
        }
        if (face) {
            DeleteObject(face);
        }
    }
    // any other kind of bitmap as the system loads it
    return static_cast<HBITMAP>(
        LoadImageA(ProgramModule(), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0));
}

bool SkinDialog::ReadPixels(std::vector<std::uint32_t>* pixels) {
    pixels->resize(static_cast<std::size_t>(bitmapWidth_) * bitmapHeight_);
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
        // what the label shows is what the button is called
        if (b.Label()) {
            b.Label()->NameButton(&b);
        }
        // Painted after the button, so that the label shows over it once, without the button
        // having to paint it again (children paint from the top of the order down). Statics take
        // no part in the tab order.
        if (HWND label = Item(labelId)) {
            SetWindowPos(label, Item(id), 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        }
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

void SkinDialog::SetLargeIcon(UINT iconId) { largeIcon_ = iconId; }

HBRUSH SkinDialog::ControlColour(HDC dc, HWND) {
    SetTextColor(dc, RGB(51, 51, 51));
    SetBkColor(dc, RGB(255, 255, 255));
    return whiteBrush_;
}

INT_PTR SkinDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    if (message == LargeIconMessage() && largeIcon_) {
        HICON icon = LoadIconA(ProgramModule(), MAKEINTRESOURCEA(largeIcon_));
        SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        return TRUE;
    }
    switch (message) {
    case WM_PAINT:
        if (largeIcon_ && !iconPosted_) {
            iconPosted_ = PostMessageA(Hwnd(), LargeIconMessage(), 0, 0) != FALSE;
        }
        handled = false;
        return FALSE;
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
