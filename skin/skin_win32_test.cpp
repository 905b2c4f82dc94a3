// In-process tests of the dialog layer and the resources: the worker link, the skin font, and
// every resource id in the program and each language library.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "skin/look.h"
#include "skin/resources_win32.h"
#include "skin/screen_win32.h"
#include "skin/scrollbar_win32.h"

namespace {

constexpr UINT kLetterMessage = WM_APP + 1;
constexpr UINT kDoneMessage = WM_APP + 2;

const int kStringIds[] = {
#include "res/gen/string_ids.inc"
};
const int kDialogIds[] = {529, 530, 543, 562, 563, 567, 570, 580, 581, 582, 583, 584,
                          587, 588, 590, 591, 593, 596, 603, 607, 608, 641, 642};
const int kButtonBitmaps[] = {533, 534, 535, 536, 537, 538, 539, 540, 541, 542, 569,
                              573, 574, 575, 576, 577, 578, 595, 638, 639, 640};
const int kIcons[] = {565, 611, 612, 613};
struct Background {
    int id, width, height;
};
const Background kBackgrounds[] = {{532, 650, 364}, {545, 650, 364}, {548, 650, 364},
                                   {561, 650, 364}, {579, 650, 364}, {631, 650, 364},
                                   {632, 650, 364}, {633, 504, 294}};

std::string BinDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/") + 1);
}

struct Counted : skin::Letter {
    explicit Counted(std::atomic<int>* n) : alive(n) { ++*alive; }
    ~Counted() override { --*alive; }
    std::atomic<int>* alive;
};

// A screen whose worker keeps delivering letters; it closes after the first one arrives.
class WorkerScreen : public skin::Screen {
public:
    WorkerScreen(std::atomic<int>* alive, HANDLE release)
        : Screen(IDD_PLEASE_WAIT), alive_(alive), release_(release) {}
    HANDLE thread = nullptr;
    int letters = 0;
    std::atomic<int> failedPosts{0};
    std::atomic<bool> workerDone{false};

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_GENERAL);
        std::atomic<int>* alive = alive_;
        HANDLE release = release_;
        std::atomic<int>* failed = &failedPosts;
        std::atomic<bool>* done = &workerDone;
        thread = StartWorker(kDoneMessage, [alive, release, failed, done](skin::WorkerLink& l) {
            l.Deliver(kLetterMessage, std::make_unique<Counted>(alive));
            // the screen goes while the worker still has work to report
            WaitForSingleObject(release, 10000);
            for (int i = 0; i < 3; ++i) {
                if (!l.Deliver(kLetterMessage, std::make_unique<Counted>(alive))) {
                    ++*failed;
                }
            }
            *done = true;
            return 7u;
        });
        return true;
    }
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM lp, bool& handled) override {
        if (m == kLetterMessage) {
            auto letter = Link()->Take(lp);
            if (letter) {
                ++letters;
            }
            EndDialog(55);
            handled = true;
            return TRUE;
        }
        return Screen::OnMessage(m, w, lp, handled);
    }

private:
    std::atomic<int>* alive_;
    HANDLE release_;
};

TEST(WorkerLink, AScreenMayCloseWhileItsWorkerRuns) {
    std::atomic<int> alive{0};
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        WorkerScreen screen(&alive, release);
        EXPECT_EQ(screen.DoModal(), 55);
        EXPECT_EQ(screen.letters, 1);
        ASSERT_NE(screen.thread, nullptr);
        SetEvent(release);
        ASSERT_EQ(WaitForSingleObject(screen.thread, 10000), WAIT_OBJECT_0);
        CloseHandle(screen.thread);
        EXPECT_TRUE(screen.workerDone);
        EXPECT_EQ(screen.failedPosts, 3);
    }
    // every letter was freed: taken by the screen or refused after it had gone
    EXPECT_EQ(alive, 0);
    CloseHandle(release);
}

TEST(WorkerLink, LettersInFlightAreFreedWhenTheScreenGoes) {
    std::atomic<int> alive{0};
    HWND w = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    auto link = std::make_shared<skin::WorkerLink>(w);
    EXPECT_TRUE(link->Deliver(kLetterMessage, std::make_unique<Counted>(&alive)));
    EXPECT_TRUE(link->Deliver(kLetterMessage, std::make_unique<Counted>(&alive)));
    EXPECT_EQ(link->Pending(), 2u);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, w, kLetterMessage, kLetterMessage, PM_REMOVE));
    EXPECT_NE(link->Take(msg.lParam), nullptr);
    EXPECT_EQ(link->Take(msg.lParam), nullptr) << "a letter is taken once";
    EXPECT_EQ(link->Take(12345), nullptr);
    EXPECT_EQ(alive, 1);
    link->Close();
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(link->Post(kDoneMessage));
    EXPECT_FALSE(link->DeliverValue(kLetterMessage, std::string("late")));
    DestroyWindow(w);
}

TEST(WorkerLink, TheWorkersResultComesBackAsAMessage) {
    HWND w = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    auto link = std::make_shared<skin::WorkerLink>(w);
    HANDLE t = skin::StartWorker(link, kDoneMessage, [](skin::WorkerLink& l) {
        l.DeliverValue(kLetterMessage, std::string("NAS1"));
        return 0xC0000001u;
    });
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(WaitForSingleObject(t, 10000), WAIT_OBJECT_0);
    CloseHandle(t);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, w, kLetterMessage, kLetterMessage, PM_REMOVE));
    auto parcel = link->TakeValue<std::string>(msg.lParam);
    ASSERT_NE(parcel, nullptr);
    EXPECT_EQ(parcel->value, "NAS1");
    ASSERT_TRUE(PeekMessageA(&msg, w, kDoneMessage, kDoneMessage, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0xC0000001u);
    link->Close();
    DestroyWindow(w);
}

// Shows the sort settings screen and reports the fonts of its radio buttons.
class FontScreen : public skin::Screen {
public:
    FontScreen() : Screen(IDD_SORT_SETTINGS) {}
    HFONT skinFont = nullptr, radioFont = nullptr, checkedLabelFont = nullptr;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_GENERAL);
        ApplyJapaneseFont({IDC_SORT_ON, IDC_SORT_OFF});
        skinFont = Font();
        radioFont = reinterpret_cast<HFONT>(SendMessageA(Item(IDC_SORT_ON), WM_GETFONT, 0, 0));
        EndDialog(1);
        return true;
    }
};

TEST(SkinFont, JapaneseGetsTheSkinFontOnOptions) {
    const std::string before = skin::InterfaceLanguage();
    skin::SetInterfaceLanguage("Japanese");
    {
        FontScreen s;
        EXPECT_EQ(s.DoModal(), 1);
        ASSERT_NE(s.skinFont, nullptr);
        EXPECT_EQ(s.radioFont, s.skinFont);
    }
    skin::SetInterfaceLanguage("English");
    {
        FontScreen s;
        EXPECT_EQ(s.DoModal(), 1);
        EXPECT_NE(s.radioFont, s.skinFont);
    }
    skin::SetInterfaceLanguage(before);
}

TEST(SkinFont, TheSkinFontIsMsUiGothic12) {
    FontScreen s;
    EXPECT_EQ(s.DoModal(), 1);
    // the font is gone with the window; its description stays checkable through a new one
    LOGFONTA lf{};
    HFONT f = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                          CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS UI Gothic");
    GetObjectA(f, sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, 12);
    EXPECT_STREQ(lf.lfFaceName, "MS UI Gothic");
    DeleteObject(f);
}

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

// An outer screen that opens an inner one without naming a parent.
class OuterScreen : public skin::Screen {
public:
    OuterScreen() : Screen(IDD_MAIN_MENU) {}
    HWND innerOwner = nullptr;
    bool outerEnabledDuringInner = true;
    bool outerEnabledAfter = false;
    int innerResult = 0;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_MAIN_MENU);
        PostMessageA(Hwnd(), WM_APP + 9, 0, 0);
        return true;
    }
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l, bool& handled) override;
};

class InnerScreen : public skin::Screen {
public:
    explicit InnerScreen(OuterScreen* outer) : Screen(IDD_MESSAGE), outer_(outer) {}
    HWND owner = nullptr;
    bool outerEnabled = true;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_MESSAGE);
        owner = GetWindow(Hwnd(), GW_OWNER);
        outerEnabled = IsWindowEnabled(outer_->Hwnd()) != 0;
        EndDialog(128);
        return true;
    }

private:
    OuterScreen* outer_;
};

INT_PTR OuterScreen::OnMessage(UINT m, WPARAM w, LPARAM l, bool& handled) {
    if (m == WM_APP + 9) {
        InnerScreen inner(this);
        innerResult = inner.DoModal();
        innerOwner = inner.owner;
        outerEnabledDuringInner = inner.outerEnabled;
        outerEnabledAfter = IsWindowEnabled(Hwnd()) != 0;
        EndDialog(101);
        handled = true;
        return TRUE;
    }
    return Screen::OnMessage(m, w, l, handled);
}

TEST(DialogLayer, ADialogOpenedFromAnotherBelongsToIt) {
    OuterScreen outer;
    EXPECT_EQ(outer.DoModal(), 101);
    EXPECT_EQ(outer.innerResult, 128);
    EXPECT_NE(outer.innerOwner, nullptr);
    EXPECT_FALSE(outer.outerEnabledDuringInner);
    EXPECT_TRUE(outer.outerEnabledAfter);
}

TEST(DialogLayer, AMissingTemplateGivesMinusOne) {
    skin::Screen s(4321);
    EXPECT_EQ(s.DoModal(), -1);
}

// The status view's scroll bar on its template, with the parent's WM_VSCROLL recorded.
class ScrollScreen : public skin::Screen {
public:
    ScrollScreen() : Screen(IDD_STATUS_VIEW) {}
    std::vector<std::pair<int, int>> events; // code, position
    int clampedHigh = -1, clampedLow = -1;
    bool replaced = false;

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_STATUS);
        replaced = bar_.CreateFromPlaceholder(Hwnd(), IDC_STATUS_SCROLL) &&
                   Item(IDC_STATUS_SCROLL) == bar_.Hwnd();
        MoveItem(IDC_STATUS_SCROLL, 600, 100, 16, 116); // arrows 16, track 84
        ShowItem(IDC_STATUS_SCROLL, true);
        bar_.SetScrollRange(0, 3);
        bar_.SetScrollPos(9);
        clampedHigh = bar_.GetScrollPos();
        bar_.SetScrollPos(-2);
        clampedLow = bar_.GetScrollPos();
        HWND b = bar_.Hwnd();
        auto press = [b](UINT m, int y) { SendMessageA(b, m, 0, MAKELPARAM(5, y)); };
        press(WM_LBUTTONDOWN, 5); // up arrow
        press(WM_LBUTTONUP, 5);
        press(WM_LBUTTONDOWN, 110); // down arrow
        press(WM_LBUTTONUP, 110);
        press(WM_LBUTTONDOWN, 80); // the track below the thumb at position 0
        press(WM_LBUTTONUP, 80);
        press(WM_LBUTTONDOWN, 20); // the thumb itself, then dragged to the bottom
        press(WM_MOUSEMOVE, 200);
        press(WM_LBUTTONUP, 200);
        EndDialog(1);
        return true;
    }
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l, bool& handled) override {
        if (m == WM_VSCROLL && reinterpret_cast<HWND>(l) == bar_.Hwnd()) {
            events.push_back({LOWORD(w), static_cast<short>(HIWORD(w))});
            handled = true;
            return TRUE;
        }
        return Screen::OnMessage(m, w, l, handled);
    }

private:
    skin::CXScrollBar bar_;
};

TEST(ScrollBar, ReportsLikeAStandardScrollBar) {
    ScrollScreen s;
    ASSERT_EQ(s.DoModal(), 1);
    EXPECT_TRUE(s.replaced);
    EXPECT_EQ(s.clampedHigh, 3);
    EXPECT_EQ(s.clampedLow, 0);
    const std::vector<std::pair<int, int>> want = {
        {SB_LINEUP, 0},     {SB_ENDSCROLL, 0},     {SB_LINEDOWN, 0},
        {SB_ENDSCROLL, 0},  {SB_PAGEDOWN, 0},      {SB_ENDSCROLL, 0},
        {SB_THUMBTRACK, 3}, {SB_THUMBPOSITION, 3}, {SB_ENDSCROLL, 0}};
    EXPECT_EQ(s.events, want);
}

class Module {
public:
    explicit Module(const std::string& file) {
        h_ = LoadLibraryExA((BinDir() + file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~Module() {
        if (h_) {
            FreeLibrary(h_);
        }
    }
    HMODULE Get() const { return h_; }

private:
    HMODULE h_;
};

bool HasString(HMODULE m, int id) {
    char buf[8];
    return LoadStringA(m, id, buf, sizeof buf) > 0;
}

void ExpectScreenResources(const std::string& file, bool program) {
    Module m(file);
    ASSERT_NE(m.Get(), nullptr) << file;
    for (int id : kStringIds) {
        EXPECT_TRUE(HasString(m.Get(), id)) << file << " string " << id;
    }
    for (int id : {1, 2, 212, 213}) {
        EXPECT_TRUE(HasString(m.Get(), id)) << file << " string " << id;
    }
    for (int id : kDialogIds) {
        EXPECT_NE(FindResourceA(m.Get(), MAKEINTRESOURCEA(id), RT_DIALOG), nullptr)
            << file << " dialog " << id;
    }
    for (int id : kButtonBitmaps) {
        EXPECT_NE(FindResourceA(m.Get(), MAKEINTRESOURCEA(id), RT_BITMAP), nullptr)
            << file << " bitmap " << id;
    }
    for (int id : kIcons) {
        EXPECT_NE(FindResourceA(m.Get(), MAKEINTRESOURCEA(id), RT_GROUP_ICON), nullptr)
            << file << " icon " << id;
    }
    for (const Background& b : kBackgrounds) {
        HRSRC r = FindResourceA(m.Get(), MAKEINTRESOURCEA(b.id), RT_BITMAP);
        if (!program) {
            EXPECT_EQ(r, nullptr) << "backgrounds live only in the program: " << b.id;
            continue;
        }
        ASSERT_NE(r, nullptr) << b.id;
        const auto* info =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(m.Get(), r)));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->biWidth, b.width) << b.id;
        EXPECT_EQ(info->biHeight, b.height) << b.id;
        EXPECT_EQ(info->biBitCount, 24) << b.id;
    }
}

TEST(Resources, TheProgramHasEveryScreenResource) { ExpectScreenResources("tovManager.exe", true); }

TEST(Resources, EachLanguageLibraryHasTheSameIds) {
    for (const char* lib : {"tovspa.dll", "tovita.dll", "tovger.dll", "tovfra.dll"}) {
        ExpectScreenResources(lib, false);
    }
}

TEST(Resources, TemplatesArePopUpVerdana8OfTheirSize) {
    Module m("tovManager.exe");
    ASSERT_NE(m.Get(), nullptr);
    for (int id : kDialogIds) {
        HRSRC r = FindResourceA(m.Get(), MAKEINTRESOURCEA(id), RT_DIALOG);
        ASSERT_NE(r, nullptr) << id;
        const auto* p = static_cast<const WORD*>(LockResource(LoadResource(m.Get(), r)));
        // DLGTEMPLATEEX: version 1, signature 0xFFFF
        ASSERT_EQ(p[0], 1);
        ASSERT_EQ(p[1], 0xFFFF);
        DWORD style;
        std::memcpy(&style, p + 6, sizeof style);
        EXPECT_EQ(style & (WS_POPUP | DS_SETFONT), static_cast<DWORD>(WS_POPUP | DS_SETFONT)) << id;
        EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_THICKFRAME), 0u) << id;
        const short cx = static_cast<short>(p[11]), cy = static_cast<short>(p[12]);
        const bool small = id == IDD_MESSAGE || id == IDD_REPLACE_FILE;
        EXPECT_EQ(cx, small ? 288 : 371) << id;
        EXPECT_EQ(cy, small ? 181 : 224) << id;
        // menu, class and title are empty (one zero word each), then the font: points, weight,
        // italic and charset, face
        const WORD* q = p + 13;
        EXPECT_EQ(q[0], 0);
        EXPECT_EQ(q[1], 0);
        EXPECT_EQ(q[2], 0);
        EXPECT_EQ(q[3], 8) << id;
        const wchar_t* face = reinterpret_cast<const wchar_t*>(q + 6);
        EXPECT_EQ(std::wstring(face), L"Verdana") << id;
    }
}

} // namespace
