// Tests of the Windows shell behind LaunchTarget: a failed open shows the system's text and logs
// it.
#include "setup/launch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "setup/test_log.h"

namespace {

constexpr DWORD kDeadlineMs = 20000;

struct BoxSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (process == search->process && IsWindowVisible(window) &&
        std::string(className) == "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for this process's message box, reads its text and style, and presses OK.
struct BoxWatcher {
    std::string text;
    LONG style = 0;
    LONG exStyle = 0;
    std::atomic<bool> seen{false};
    std::thread thread;

    void Start() {
        thread = std::thread([this] {
            const DWORD start = GetTickCount();
            while (GetTickCount() - start < kDeadlineMs) {
                BoxSearch search{GetCurrentProcessId(), nullptr};
                EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
                if (search.found) {
                    char buffer[512] = "";
                    GetDlgItemTextA(search.found, 0xFFFF, buffer, sizeof buffer);
                    text = buffer;
                    style = GetWindowLongA(search.found, GWL_STYLE);
                    exStyle = GetWindowLongA(search.found, GWL_EXSTYLE);
                    seen = true;
                    PostMessageA(search.found, WM_COMMAND, IDOK, 0);
                    return;
                }
                Sleep(20);
            }
        });
    }
    void Join() { thread.join(); }
};

TEST(LaunchWindows, AMissingFileShowsTheSystemTextInASystemModalBoxAndLogsIt) {
    setup_test::LogCapture log;
    const std::string target = "C:\\no such folder\\help_user_acct.chm";
    BoxWatcher watcher;
    watcher.Start();
    const bool opened = setup::LaunchTarget(target);
    watcher.Join();
    EXPECT_FALSE(opened);
    ASSERT_TRUE(watcher.seen) << "no message box within the deadline";
    EXPECT_FALSE(watcher.text.empty());
    EXPECT_TRUE(watcher.exStyle & WS_EX_TOPMOST) << "a system-modal box stays on top";

    const std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Going to Launch to <" + target + ">");
    std::string shown = watcher.text;
    while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n'))
        shown.pop_back();
    EXPECT_EQ(lines[1], "--- ERROR: Failed to launch: <" + shown + "> ");
}

} // namespace
