// tovgallery.exe: opens any screen's dialog with sample data, for looking at it and for UI tests.
//
// tovgallery [-lang spa|ita|ger|fra] [-japanese] [-face BITMAP] [-failregion] [-bench]
//            [-function 1|2|3] [-check] all | ID...
// An ID may name a later view of its screen: "608:complete" (the backup's completion view; "all"
// shows it after 608's running view), "587:open" and "588:temporary" (the second choices).
// -function shows the account screens as they are for a set-up function: Choose account with its
// option checked, Name and password with its fields for an existing, public or private account.
// Each dialog runs modally in turn; its result is printed as "dialog ID result N". Back ends a
// dialog with 101, the forward button with 102, the message dialog's buttons with 129 and 128, any
// other button with its control id; X and Alt+F4 give 100. With -bench the first dialog prints
// "first-paint-ms N" once it is painted and ends at once. -list prints what "all" shows, one ID
// (or ID:view) a line, and opens nothing.
// With -check each dialog ends by itself once it is shown, after a line for every text that does
// not fit its control in its own font ("unfit ...") and, with -lang, every text of the string
// table that is still the English one ("english ..."); the run then ends with 1 when there was any.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lab/uidriver/first_paint_win32.h"
#include "backup/wizard_folders_win32.h"
#include "res/resource.h"
#include "setup/account_rules.h"
#include "setup/name_view_win32.h"
#include "skin/look.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"
#include "skin/screen_layout.h"
#include "skin/screen_win32.h"
#include "skin/label_win32.h"
#include "skin/scrollbar_win32.h"
#include "skin/text_checks.h"

namespace {

// The gallery's own sample data: a text or list items per control, and whether it is shown.
struct GallerySample {
    int dialogId;
    int controlId;
    const char* sample;
    bool shown;
};
#include "res/gen/gallery_samples.inc"

const GallerySample* FindSample(int dialogId, int controlId) {
    for (const GallerySample& s : kGallerySamples) {
        if (s.dialogId == dialogId && s.controlId == controlId)
            return &s;
    }
    return nullptr;
}

std::string Replace(std::string s, const std::string& what, const std::string& with) {
    const std::size_t at = s.find(what);
    if (at != std::string::npos) {
        s.replace(at, what.size(), with);
    }
    return s;
}

// A string-table text with the sample values a screen would put in.
std::string SampleText(const skin::ControlLayout& c, const char* sample) {
    if (!c.stringId) {
        return sample ? sample : "";
    }
    std::string s = skin::LoadString(c.stringId);
    switch (c.stringId) {
    case 9:
        return Replace(s, "%1", "NAS1");
    case 34:
        return Replace(s, "%1", "Anne");
    case 129:
        return Replace(s, "%1", "040");
    case 192:
        return Replace(s, "%1", "report.doc");
    case 199:
        return Replace(s, "%1", "245.50");
    default:
        return s;
    }
}

std::vector<std::string> Items(const char* joined) {
    std::vector<std::string> out;
    if (!joined) {
        return out;
    }
    std::string s = joined;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = s.find('|', start);
        out.push_back(s.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) {
            return out;
        }
        start = bar + 1;
    }
}

// The texts a screen puts in at a later stage than its samples show.
void ShowView(skin::SkinDialog& d, int dialogId, const std::string& view) {
    if (dialogId == IDD_BACKUP_PROGRESS && view == "complete") {
        skin::SetLabelText(d, IDC_PROGRESS_STATUS, skin::LoadString(200));
        skin::SetLabelText(d, IDC_PROGRESS_FILE,
                           skin::LoadString(201) + " (S:) \\\\NAS1\\anne" + skin::LoadString(62));
        skin::SetLabelText(d, IDC_PROGRESS_FOLDER, skin::LoadString(202));
        skin::SetLabelText(d, IDC_NEXT_LABEL, skin::LoadString(37));
    }
    // the restore pages' second choices: Open for the backup folder, the temporary folder
    if (dialogId == IDD_RESTORE_TYPE && view == "open") {
        CheckRadioButton(d.Hwnd(), IDC_RESTORE_VERSION, IDC_RESTORE_RECENT, IDC_RESTORE_RECENT);
        skin::SetLabelText(d, IDC_NEXT_LABEL, skin::LoadString(36));
    } else if (dialogId == IDD_RESTORE_FILES && view == "temporary") {
        CheckRadioButton(d.Hwnd(), IDC_RESTORE_ORIGINAL, IDC_RESTORE_TEMPORARY,
                         IDC_RESTORE_TEMPORARY);
        d.ShowItem(IDC_RESTORE_TEMP_FOLDER, true);
    }
}

bool g_bench = false;
int g_function = 0;
bool g_check = false;
int g_problems = 0;
std::string g_language; // the -lang library's name, empty for English
constexpr UINT kPainted = WM_APP + 1;
constexpr UINT kCheck = WM_APP + 2;

std::string WindowText(HWND item) {
    const int n = GetWindowTextLengthA(item);
    std::string text(n + 1, '\0');
    text.resize(GetWindowTextA(item, &text[0], n + 1));
    return text;
}

// The English text of a string: the gallery's own resources are the program's.
std::string EnglishString(int id) {
    char buffer[4096] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return buffer;
}

// The size a radio button's or check box's text takes beside its box, in the control's font.
SIZE ButtonTextExtent(HWND item, const std::string& text, int width) {
    HDC dc = GetDC(item);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(item, WM_GETFONT, 0, 0)));
    const int box = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    const bool multi = (GetWindowLongA(item, GWL_STYLE) & BS_MULTILINE) != 0;
    RECT need = {0, 0, width - box, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &need,
              DT_CALCRECT | (multi ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(item, dc);
    return SIZE{need.right + box, need.bottom};
}

class GalleryScreen : public skin::Screen {
public:
    GalleryScreen(const skin::ScreenLayout& layout, UINT face, const std::string& view)
        : Screen(layout.dialogId), layout_(layout), face_(face), view_(view) {}

protected:
    bool OnInitDialog() override {
        InitSkin(face_ ? face_ : layout_.bitmapId);
        SetLargeIcon(IDI_APP);
        // the screens' own placing, then the samples a screen would fill in
        skin::PlaceControls(*this, layout_.dialogId);
        bool firstOfGroup = true;
        for (int i = 0; i < layout_.count; ++i) {
            Fill(layout_.controls[i], firstOfGroup);
        }
        ShowView(*this, layout_.dialogId, view_);
        ApplyJapaneseFont({IDC_DEVICE_LIST, IDC_SORT_ON, IDC_SORT_OFF, IDC_SORT_PRIVATE,
                           IDC_SORT_PUBLIC, IDC_SORT_ENABLE, IDC_ACCOUNT_PUBLIC,
                           IDC_ACCOUNT_PRIVATE, IDC_ACCOUNT_EXISTING, IDC_PURPOSE_HOME,
                           IDC_PURPOSE_BUSINESS, IDC_TAGS_ON, IDC_TAGS_OFF});
        if (g_function)
            ShowFunction();
        if (g_check)
            PostMessageA(Hwnd(), kCheck, 0, 0);
        return true;
    }

    void OnEnter(int focusedId) override {
        if (focusedId && FindButton(focusedId)) {
            Press(focusedId);
        } else if (Item(IDC_NEXT) && IsWindowEnabled(Item(IDC_NEXT))) {
            Press(IDC_NEXT);
        } else if (Item(IDC_RIGHT_BUTTON)) {
            Press(IDC_RIGHT_BUTTON);
        }
    }

    bool OnCommand(int id, int code, HWND control) override {
        if (Screen::OnCommand(id, code, control)) {
            return true;
        }
        if (code != BN_CLICKED || !FindButton(id)) {
            return false;
        }
        switch (id) {
        case IDC_BACK:
            EndDialog(101);
            break;
        case IDC_NEXT:
            EndDialog(102);
            break;
        case IDC_LEFT_BUTTON:
            EndDialog(129);
            break;
        case IDC_RIGHT_BUTTON:
            EndDialog(128);
            break;
        default:
            EndDialog(id);
            break;
        }
        return true;
    }

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (g_bench && message == WM_PAINT && !painted_) {
            painted_ = true;
            PostMessageA(Hwnd(), kPainted, 0, 0);
        } else if (g_bench && message == kPainted) {
            RedrawWindow(Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            std::printf("first-paint-ms %.1f\n", uidriver::MsSinceProcessStart());
            std::fflush(stdout);
            EndDialog(0);
            handled = true;
            return TRUE;
        } else if (g_check && message == kCheck) {
            Check();
            EndDialog(0);
            handled = true;
            return TRUE;
        }
        return Screen::OnMessage(message, wParam, lParam, handled);
    }

    // options on the grey panel of the restore page
    HBRUSH ControlColour(HDC dc, HWND control) override {
        if (layout_.dialogId != IDD_RESTORE_FILES) {
            return Screen::ControlColour(dc, control);
        }
        SetTextColor(dc, RGB(51, 51, 51));
        SetBkColor(dc, RGB(230, 230, 230));
        return GreyBrush();
    }

private:
    // Every shown text of the screen: does it fit its control, and is it translated.
    void Check() {
        const int dialog = layout_.dialogId;
        for (int i = 0; i < layout_.count; ++i) {
            const skin::ControlLayout& c = layout_.controls[i];
            HWND item = Item(c.id);
            if (!item || !(GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE))
                continue;
            const std::string text = WindowText(item);
            if (text.empty())
                continue;
            RECT r;
            GetClientRect(item, &r);
            SIZE need{0, 0};
            bool measured = false;
            if (c.kind == 'L' || c.kind == 'K') {
                measured = skin::LabelTextExtent(item, &need);
            } else if (c.kind == 'R' || c.kind == 'C') {
                need = ButtonTextExtent(item, text, r.right);
                measured = true;
            }
            if (measured && (need.cx > r.right || need.cy > r.bottom)) {
                ++g_problems;
                std::printf(
                    "unfit dialog %d control %d string %d: needs %ldx%ld, has %ldx%ld: %s\n",
                    dialog, c.id, c.stringId, need.cx, need.cy, r.right, r.bottom, text.c_str());
            }
            if (c.stringId && !g_language.empty()) {
                const std::string english = EnglishString(c.stringId);
                if (skin::StillEnglish(english, skin::LoadString(c.stringId), g_language)) {
                    ++g_problems;
                    std::printf("english dialog %d control %d string %d: %s\n", dialog, c.id,
                                c.stringId, english.c_str());
                }
            }
        }
        std::fflush(stdout);
    }

    void ShowFunction() {
        if (layout_.dialogId == IDD_CHOOSE_ACCOUNT) {
            const int options[] = {IDC_ACCOUNT_EXISTING, IDC_ACCOUNT_PUBLIC, IDC_ACCOUNT_PRIVATE};
            for (int k = 0; k < 3; ++k) {
                SendMessageA(Item(options[k]), BM_SETCHECK,
                             k + setup::CREATE_EXIST == g_function ? BST_CHECKED : BST_UNCHECKED,
                             0);
            }
        } else if (layout_.dialogId == IDD_NAME_PASSWORD) {
            setup::ShowNameScreenView(*this, setup::ViewFor(g_function));
        }
    }

    void Fill(const skin::ControlLayout& c, bool& firstOfGroup) {
        HWND item = Item(c.id);
        if (!item) {
            return;
        }
        const GallerySample* found = FindSample(layout_.dialogId, c.id);
        const char* sample = found ? found->sample : nullptr;
        const std::string text = SampleText(c, sample);
        switch (c.kind) {
        case 'L':
        case 'K':
            skin::SetLabelText(*this, c.id, text);
            break;
        case 'R':
        case 'C': {
            SetItemText(c.id, text);
            const LONG style = GetWindowLongA(item, GWL_STYLE);
            if (style & WS_GROUP) {
                firstOfGroup = true;
            }
            if (firstOfGroup) {
                SendMessageA(item, BM_SETCHECK, BST_CHECKED, 0);
                firstOfGroup = false;
            }
            break;
        }
        case 'E':
        case 'P':
            SetItemText(c.id, text);
            break;
        case 'S':
        case 'O': {
            const bool combo = c.kind == 'O';
            for (const std::string& s : Items(sample)) {
                SendMessageA(item, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, (LPARAM)s.c_str());
            }
            SendMessageA(item, combo ? CB_SETCURSEL : LB_SETCURSEL,
                         combo && c.id == IDC_VERSIONS ? 2 : 0, 0);
            break;
        }
        case 'G':
            SendMessageA(item, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
            SendMessageA(item, PBM_SETPOS, 40, 0);
            break;
        case 'T': {
            HTREEITEM parents[8] = {TVI_ROOT};
            // the folder page's check boxes: unchecked, partly selected, checked
            const bool checks = layout_.dialogId == IDD_WIZARD_FOLDERS;
            const int states[] = {1, 3, 2, 1, 1};
            int index = 0;
            if (checks)
                backup::PrepareCheckBoxes(item);
            for (const std::string& s : Items(sample)) {
                std::size_t depth = s.find_first_not_of(' ') / 2;
                if (depth > 6) {
                    depth = 6;
                }
                const std::string name = s.substr(depth * 2);
                TVINSERTSTRUCTA ins{};
                ins.hParent = parents[depth];
                ins.hInsertAfter = TVI_LAST;
                ins.item.mask = TVIF_TEXT;
                ins.item.pszText = const_cast<char*>(name.c_str());
                if (checks) {
                    ins.item.mask |= TVIF_STATE;
                    ins.item.stateMask = TVIS_STATEIMAGEMASK;
                    ins.item.state = INDEXTOSTATEIMAGEMASK(states[index++ % 5]);
                }
                parents[depth + 1] = reinterpret_cast<HTREEITEM>(
                    SendMessageA(item, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
                if (depth > 0) {
                    SendMessageA(item, TVM_EXPAND, TVE_EXPAND, (LPARAM)parents[depth]);
                }
            }
            break;
        }
        case 'D': {
            SYSTEMTIME t{2005, 3, 3, 23, 22, 0, 0, 0};
            SendMessageA(item, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
            break;
        }
        case 'V':
            scroll_ = std::make_unique<skin::CXScrollBar>();
            scroll_->CreateFromPlaceholder(Hwnd(), c.id);
            scroll_->SetScrollRange(0, 1);
            item = scroll_->Hwnd();
            break;
        default:
            break;
        }
        if (item && found) {
            ShowWindow(item, found->shown ? SW_SHOW : SW_HIDE);
        }
    }

    const skin::ScreenLayout& layout_;
    UINT face_;
    std::string view_;
    std::unique_ptr<skin::CXScrollBar> scroll_;
    bool painted_ = false;
};

int WINAPI CombineFails(HRGN, HRGN, HRGN, int) { return ERROR; }

// Every screen and later view the gallery has, in the order "all" shows them.
std::vector<std::pair<int, std::string>> AllScreens() {
    std::vector<std::pair<int, std::string>> ids;
    int n = 0;
    const skin::ScreenLayout* all = skin::ScreenLayouts(&n);
    for (int k = 0; k < n; ++k) {
        ids.push_back({all[k].dialogId, ""});
        if (all[k].dialogId == IDD_BACKUP_PROGRESS)
            ids.push_back({IDD_BACKUP_PROGRESS, "complete"});
        if (all[k].dialogId == IDD_RESTORE_TYPE)
            ids.push_back({IDD_RESTORE_TYPE, "open"});
        if (all[k].dialogId == IDD_RESTORE_FILES)
            ids.push_back({IDD_RESTORE_FILES, "temporary"});
    }
    return ids;
}

// -list: the screens a test that covers them all opens, one a line.
int ListScreens() {
    for (const auto& entry : AllScreens()) {
        std::printf("%d%s%s\n", entry.first, entry.second.empty() ? "" : ":", entry.second.c_str());
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    UINT face = 0;
    std::vector<std::pair<int, std::string>> ids;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-lang" && i + 1 < argc) {
            const std::string lang = argv[++i];
            HMODULE m = LoadLibraryA(("tov" + lang + ".dll").c_str());
            if (!m) {
                std::fprintf(stderr, "gallery: cannot load tov%s.dll\n", lang.c_str());
                return 2;
            }
            skin::SetResourceModule(m);
            g_language = lang;
        } else if (a == "-check") {
            g_check = true;
        } else if (a == "-japanese") {
            skin::SetInterfaceLanguage("Japanese");
        } else if (a == "-face" && i + 1 < argc) {
            face = static_cast<UINT>(std::atoi(argv[++i]));
        } else if (a == "-function" && i + 1 < argc) {
            g_function = std::atoi(argv[++i]);
        } else if (a == "-bench") {
            g_bench = true;
        } else if (a == "-failregion") {
            skin::SkinDialog::SetCombineRegionForTest(CombineFails);
        } else if (a == "-list") {
            return ListScreens();
        } else if (a == "all") {
            for (const auto& entry : AllScreens())
                ids.push_back(entry);
        } else {
            const std::size_t colon = a.find(':');
            ids.push_back(
                {std::atoi(a.c_str()), colon == std::string::npos ? "" : a.substr(colon + 1)});
        }
    }
    if (ids.empty()) {
        std::fprintf(stderr, "usage: tovgallery [-lang L] [-japanese] [-face ID] all | ID...\n");
        return 2;
    }
    int result = 0;
    for (const auto& entry : ids) {
        const int id = entry.first;
        const skin::ScreenLayout* layout = skin::FindScreenLayout(id);
        if (!layout) {
            std::fprintf(stderr, "gallery: no dialog %d\n", id);
            return 2;
        }
        GalleryScreen screen(*layout, face, entry.second);
        result = screen.DoModal();
        std::printf("dialog %d result %d\n", id, result);
        std::fflush(stdout);
        if (result == 100) {
            break;
        }
    }
    if (g_check) {
        std::printf("checked %zu dialogs, %d problems\n", ids.size(), g_problems);
        return g_problems ? 1 : 0;
    }
    return result;
}
