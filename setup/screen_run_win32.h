// Test helper: a screen shown on a thread of its own while the test acts as the user through the
// UI driver.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>

#include "lab/uidriver/uidriver_win32.h"

namespace setup_test {

constexpr DWORD kScreenDeadlineMs = 20000;

class ScreenRun {
public:
    explicit ScreenRun(std::function<int()> show) : result(std::async(std::launch::async, show)) {}
    ~ScreenRun() {
        // a screen left open by a failed check is closed so that the thread can end
        if (result.valid() && result.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            uidriver::SendKey(screen.hwnd, "Alt+F4");
    }

    // The screen once it is up; false when none came or it is another one.
    bool WaitShown(int dialogId) {
        if (!uidriver::WaitForScreen(GetCurrentProcessId(), kScreenDeadlineMs, &screen, previous))
            return false;
        previous = screen.hwnd;
        return screen.dialogId == dialogId;
    }

    // The screen's result, or -2 when it did not end in time.
    int Result() {
        if (result.wait_for(std::chrono::milliseconds(kScreenDeadlineMs)) !=
            std::future_status::ready)
            return -2;
        return result.get();
    }

    std::string Text(int id) const { return uidriver::ControlText(screen.hwnd, id); }
    bool Visible(int id) const { return IsWindowVisible(GetDlgItem(screen.hwnd, id)) != FALSE; }
    bool Checked(int id) const {
        return SendDlgItemMessageA(screen.hwnd, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    bool Click(int id) const { return uidriver::Click(screen.hwnd, id); }
    bool Key(const char* key) const { return uidriver::SendKey(screen.hwnd, key); }
    bool SetCheck(int id, bool on) const { return uidriver::SetCheck(screen.hwnd, id, on); }
    // Gives the control the focus, as the dialog manager moves it.
    void Focus(int id) const {
        SendMessageA(screen.hwnd, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(screen.hwnd, id)), TRUE);
    }

    uidriver::Screen screen;

private:
    HWND previous = nullptr;
    std::future<int> result;
};

} // namespace setup_test
