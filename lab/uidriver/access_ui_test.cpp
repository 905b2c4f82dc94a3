// Every screen of the gallery for screen readers and the keyboard: each shown, enabled control
// has a name and Tab reaches it, each screen opens with its table's focus, and the title-bar
// buttons act on Enter. The gallery says which screens it has, so screens added later are covered.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "lab/uidriver/access_win32.h"
#include "lab/uidriver/gallery_run_win32.h"
#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"
#include "skin/screen_layout.h"

namespace {

using uidriver_test::Gallery;
using uidriver_test::kWait;

// What "tovgallery -list" prints: one screen (ID or ID:view) a line.
std::vector<std::string> GalleryScreens() {
    Gallery g("-list");
    EXPECT_TRUE(g.Started());
    EXPECT_EQ(g.Finish(), 0);
    std::vector<std::string> out;
    std::istringstream lines(g.Output());
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            out.push_back(line);
    }
    return out;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines)
        s += "\n  " + l;
    return s;
}

// Opens one screen of the gallery, checks it and closes it with Alt+F4. tableFocus: the screen
// opens with the focus its table gives (a view of a screen's own code may place it elsewhere).
void CheckScreen(const std::string& args, int dialogId, bool tableFocus = true) {
    SCOPED_TRACE("tovgallery " + args);
    Gallery g(args);
    ASSERT_TRUE(g.Started());
    const uidriver::Screen s = g.NextScreen();
    ASSERT_EQ(s.dialogId, dialogId);
    // the table's choice of the first focus, when it names one
    const skin::ScreenLayout* layout = skin::FindScreenLayout(dialogId);
    ASSERT_NE(layout, nullptr);
    if (tableFocus && layout->focusId) {
        HWND focused = uidriver::FocusedControl(s.hwnd);
        EXPECT_EQ(focused ? GetDlgCtrlID(focused) : 0, layout->focusId);
    }
    const std::vector<std::string> problems = uidriver::AccessProblems(s.hwnd, 5000);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
    ASSERT_TRUE(uidriver::SendKey(s.hwnd, "Alt+F4"));
    EXPECT_EQ(g.Finish(), 100);
}

TEST(AccessibleScreens, EveryControlOfEveryGalleryScreenHasANameAndTabReachesIt) {
    const std::vector<std::string> screens = GalleryScreens();
    // the gallery shows every screen of the program: far more than a handful
    ASSERT_GE(screens.size(), 10u) << Joined(screens);
    for (const std::string& id : screens) {
        CheckScreen(id, std::atoi(id.c_str()));
    }
    // the account screens' other views: the existing account's list, the public one's fields
    for (const char* function : {"1", "2", "3"}) {
        CheckScreen(std::string("-function ") + function + " " + std::to_string(IDD_NAME_PASSWORD),
                    IDD_NAME_PASSWORD, false);
    }
}

TEST(AccessibleScreens, NamesFollowTheLanguageLibraryAndTheLabels) {
    Gallery g("-lang ger 530");
    ASSERT_TRUE(g.Started());
    const uidriver::Screen s = g.NextScreen();
    std::vector<std::string> names;
    for (const uidriver::NamedControl& c : uidriver::ListNames(s.hwnd)) {
        if (c.id == IDC_MENU_BACKUP || c.id == IDC_BACK || c.id == IDC_MINIMIZE ||
            c.id == IDC_CLOSE)
            names.push_back(c.name);
    }
    // "SICHERN &&\nWIEDERHER." is drawn, and said, as one line with one "&"
    const std::vector<std::string> want = {"SICHERN & WIEDERHER.", "Suchen", "Minimieren",
                                           "Schlie\xdf"
                                           "en"};
    EXPECT_EQ(names, want);
    ASSERT_TRUE(uidriver::Click(s.hwnd, IDC_CLOSE));
    EXPECT_EQ(g.Finish(), 100);
}

TEST(AccessibleScreens, EnterOnTheFocusedTitleBarButtonsDoesWhatTheyShow) {
    // 590's Enter rule would press Next; on _ it minimises, on X it closes
    Gallery g("590");
    ASSERT_TRUE(g.Started());
    const uidriver::Screen s = g.NextScreen();
    HWND minimize = GetDlgItem(s.hwnd, IDC_MINIMIZE);
    HWND close = GetDlgItem(s.hwnd, IDC_CLOSE);
    auto focus = [&](HWND control) {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(s.hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE,
                                   SMTO_ABORTIFHUNG, kWait, &ignored) != 0;
    };
    ASSERT_TRUE(focus(minimize));
    // X is the last of the tab order, after _
    EXPECT_EQ(uidriver::PressTab(s.hwnd, minimize, kWait), close);
    ASSERT_TRUE(focus(minimize));
    ASSERT_TRUE(uidriver::SendKey(s.hwnd, "Enter"));
    const DWORD start = GetTickCount();
    while (!IsIconic(s.hwnd) && GetTickCount() - start < kWait) {
        Sleep(20);
    }
    EXPECT_TRUE(IsIconic(s.hwnd));
    // shown again, as the task bar does it
    ShowWindow(s.hwnd, SW_RESTORE);
    ASSERT_TRUE(focus(close));
    ASSERT_TRUE(uidriver::SendKey(s.hwnd, "Enter"));
    EXPECT_EQ(g.Finish(), 100);
    EXPECT_EQ(g.Output(), "dialog 590 result 100\r\n");
}

} // namespace
