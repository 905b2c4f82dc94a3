// The UI driver's actions, done with messages that Windows carries between processes.
#include "lab/uidriver/uidriver_win32.h"

#include <algorithm>
#include <cctype>

namespace uidriver {
namespace {

constexpr const char* kDialogIdProperty = "tovDialogId";

struct FindState {
    DWORD pid;
    HWND other;
    Screen found;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM param) {
    auto* st = reinterpret_cast<FindState*>(param);
    if (!IsWindowVisible(hwnd) || hwnd == st->other) {
        return TRUE;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (st->pid && pid != st->pid) {
        return TRUE;
    }
    HANDLE id = GetPropA(hwnd, kDialogIdProperty);
    if (!id) {
        return TRUE;
    }
    // a screen that is disabled has a modal screen of its own above it: keep looking
    if (!IsWindowEnabled(hwnd) && st->found.hwnd) {
        return TRUE;
    }
    st->found.hwnd = hwnd;
    st->found.dialogId = static_cast<int>(reinterpret_cast<INT_PTR>(id));
    return IsWindowEnabled(hwnd) ? FALSE : TRUE;
}

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
        (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus))) {
        return info.hwndFocus;
    }
    return dialog;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

LPARAM KeyData(UINT vk, bool up, bool alt) {
    const UINT scan = MapVirtualKeyA(vk, 0);
    LPARAM l = 1 | (static_cast<LPARAM>(scan) << 16);
    if (alt) {
        l |= 1 << 29;
    }
    if (up) {
        l |= (1u << 30) | (1u << 31);
    }
    return l;
}

bool MouseTo(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (SendInput(1, &in, sizeof in) != 1) {
        return false;
    }
    // Wine may take the button event at the old place when it comes before the move has landed
    const DWORD start = GetTickCount();
    POINT p;
    while (GetCursorPos(&p) && (p.x != x || p.y != y)) {
        if (GetTickCount() - start > 2000) {
            return false;
        }
        Sleep(5);
    }
    return true;
}

bool MouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return SendInput(1, &in, sizeof in) == 1;
}

bool WaitAt(HWND w, int left, int top, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        RECT now = WindowRect(w);
        if (now.left == left && now.top == top) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(10);
    }
}

// A key press and release. The press may end the dialog (Enter, Esc, Alt+F4) before the release
// is posted, and a window that has gone needs no release: the press decides.
bool PostKey(HWND target, UINT down, UINT up, UINT vk, bool alt) {
    if (!PostMessageA(target, down, vk, KeyData(vk, false, alt))) {
        return false;
    }
    PostMessageA(target, up, vk, KeyData(vk, true, alt));
    return true;
}

} // namespace

bool WaitForScreen(DWORD pid, DWORD timeoutMs, Screen* out, HWND other) {
    const DWORD start = GetTickCount();
    for (;;) {
        FindState st{pid, other, {}};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&st));
        if (st.found.hwnd && IsWindowEnabled(st.found.hwnd)) {
            *out = st.found;
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(20);
    }
}

bool WaitGone(HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

std::string ControlText(HWND dialog, int id) {
    char buf[4096] = {};
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        return std::string();
    }
    // WM_GETTEXT is one of the messages Windows copies between processes
    SendMessageTimeoutA(item, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

std::vector<Control> ListControls(HWND dialog) {
    std::vector<Control> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        Control k;
        k.id = GetDlgCtrlID(c);
        char cls[64] = {};
        GetClassNameA(c, cls, sizeof cls);
        k.cls = cls;
        k.text = ControlText(dialog, k.id);
        k.visible = IsWindowVisible(c) != 0;
        k.enabled = IsWindowEnabled(c) != 0;
        DWORD_PTR state = 0;
        k.checked = lstrcmpiA(cls, "Button") == 0 &&
                    SendMessageTimeoutA(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state) &&
                    state == BST_CHECKED;
        out.push_back(k);
    }
    return out;
}

bool Click(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item && PostMessageA(item, BM_CLICK, 0, 0);
}

bool SendKey(HWND dialog, const std::string& name) {
    const std::string key = Lower(name);
    HWND target = FocusOf(dialog);
    if (key == "alt+f4") {
        return PostKey(target, WM_SYSKEYDOWN, WM_SYSKEYUP, VK_F4, true);
    }
    if (key == "shift+tab") {
        // the dialog manager reads Shift from the keyboard state, which a posted key does not
        // carry: move the focus as Shift+Tab does
        return PostMessageA(dialog, WM_NEXTDLGCTL, 1, 0);
    }
    UINT vk = 0;
    if (key == "enter") {
        vk = VK_RETURN;
    } else if (key == "esc" || key == "escape") {
        vk = VK_ESCAPE;
    } else if (key == "tab") {
        vk = VK_TAB;
    } else if (key == "up") {
        vk = VK_UP;
    } else if (key == "down") {
        vk = VK_DOWN;
    } else if (key == "left") {
        vk = VK_LEFT;
    } else if (key == "right") {
        vk = VK_RIGHT;
    } else {
        return false;
    }
    return PostKey(target, WM_KEYDOWN, WM_KEYUP, vk, false);
}

bool SelectEntry(HWND dialog, int id, int index) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        return false;
    }
    char cls[32] = {};
    GetClassNameA(item, cls, sizeof cls);
    const bool combo = lstrcmpiA(cls, "ComboBox") == 0;
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(item, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG,
                             2000, &r) ||
        static_cast<int>(r) != index) {
        return false;
    }
    const WORD code = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(item));
}

bool Type(HWND dialog, int id, const std::string& text) {
    HWND item = GetDlgItem(dialog, id);
    if (!item || !IsWindowVisible(item) || !IsWindowEnabled(item)) {
        return false;
    }
    // sent, not posted: each step is done before the next, and before the driver ends
    auto send = [item](UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(item, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000,
                                   &ignored) != 0;
    };
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE,
                             SMTO_ABORTIFHUNG, 2000, &ignored) ||
        !send(EM_SETSEL, 0, -1) || !send(WM_CHAR, VK_BACK, 1)) {
        return false;
    }
    for (unsigned char c : text) {
        if (!send(WM_CHAR, c, 1)) {
            return false;
        }
    }
    return true;
}

bool SetCheck(HWND dialog, int id, bool on) {
    HWND item = GetDlgItem(dialog, id);
    DWORD_PTR state = 0;
    if (!item || !SendMessageTimeoutA(item, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) {
        return false;
    }
    if ((state == BST_CHECKED) == on) {
        return true;
    }
    return PostMessageA(item, BM_CLICK, 0, 0);
}

bool Drag(HWND dialog, int x, int y, int dx, int dy, DWORD timeoutMs) {
    // real mouse input: Windows moves the cursor with the window and sends mouse moves of its
    // own, which posted mouse messages would contradict
    const RECT start = WindowRect(dialog);
    const int sx = start.left + x, sy = start.top + y;
    const int steps = 4;
    if (!MouseTo(sx, sy) || !MouseButton(true)) {
        return false;
    }
    bool ok = true;
    for (int i = 1; i <= steps && ok; ++i) {
        const int ox = dx * i / steps, oy = dy * i / steps;
        ok =
            MouseTo(sx + ox, sy + oy) && WaitAt(dialog, start.left + ox, start.top + oy, timeoutMs);
    }
    MouseButton(false);
    return ok;
}

RECT WindowRect(HWND window) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(window, &r);
    return r;
}

bool HasRegion(HWND window) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, rgn);
    DeleteObject(rgn);
    return kind == SIMPLEREGION || kind == COMPLEXREGION;
}

bool RegionContains(HWND window, int x, int y) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, rgn);
    bool in;
    if (kind == SIMPLEREGION || kind == COMPLEXREGION) {
        in = PtInRegion(rgn, x, y) != 0;
    } else {
        RECT r = WindowRect(window);
        in = x >= 0 && y >= 0 && x < r.right - r.left && y < r.bottom - r.top;
    }
    DeleteObject(rgn);
    return in;
}

} // namespace uidriver
