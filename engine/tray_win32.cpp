// The engine's tray icon and balloons (Shell_NotifyIconA with NIF_INFO, as Windows 2000 and XP
// have it), its menu, and the start of tovManager.exe from it.
#include "engine/tray_win32.h"

#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <mutex>

#include "app/settings.h"
#include "engine/paths.h"

namespace engine {

namespace {

constexpr UINT kIconId = 1;
constexpr int kIconResource = 1;
// Windows keeps a balloon up between 10 and 30 seconds while the user is there.
constexpr UINT kBalloonMs = 30000;
constexpr const char* kJournalSemaphore = "TOV_ENGINE_NOTICE_JOURNAL";

std::string UserName() {
    char name[256] = "";
    DWORD n = sizeof name;
    if (!GetUserNameA(name, &n))
        return "user";
    return name;
}

std::string ModuleFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\'));
}

template <size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    lstrcpynA(field, text.c_str(), static_cast<int>(N));
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

} // namespace

void JournalNotice(const std::string& line) {
    char path[MAX_PATH] = "";
    if (GetEnvironmentVariableA("TOV_ENGINE_NOTICES", path, sizeof path) == 0)
        return;
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        const std::string text = line + "\r\n";
        DWORD done = 0;
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
        CloseHandle(h);
    }
    HANDLE s = CreateSemaphoreA(nullptr, 0, 1000, kJournalSemaphore);
    if (s) {
        ReleaseSemaphore(s, 1, nullptr);
        CloseHandle(s);
    }
}

bool StartManager(const char* switchText, std::string* program, DWORD* error) {
    std::string folder =
        AppSettings::ReadTrimmed(AppSettings::Root::LocalMachine, "installDirectory");
    if (folder.empty())
        folder = ModuleFolder();
    *program = Join(folder, "tovManager.exe");
    std::string line = "\"" + *program + "\" " + switchText;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const bool ok = CreateProcessA(program->c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &si, &pi) != FALSE;
    *error = ok ? 0 : GetLastError();
    if (ok) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    JournalNotice("launch\tresult=" + std::to_string(ok ? 1 : 0) + "\t" + line);
    return ok;
}

Tray::Tray(std::function<void()> backUpNow, std::function<void(const std::string&)> log)
    : backUpNow_(std::move(backUpNow)), log_(std::move(log)) {}

Tray::~Tray() { Destroy(); }

bool Tray::Create() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Tray::Proc;
    wc.hInstance = instance;
    wc.lpszClassName = kTrayWindowClass;
    RegisterClassA(&wc);
    // a hidden top-level window: a message-only one cannot own the icon's menu
    const std::string title = "tovengine tray " + UserName();
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kTrayWindowClass, title.c_str(), WS_POPUP, 0, 0, 0,
                              0, nullptr, nullptr, instance, this);
    if (!window_)
        return false;
    icon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), 0));
    // Explorer announces a new notification area (after a restart of its own) by this message.
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    AddIcon();
    return true;
}

void Tray::Destroy() {
    if (!window_)
        return;
    if (added_) {
        NOTIFYICONDATAA d{};
        d.cbSize = NOTIFYICONDATAA_V2_SIZE;
        d.hWnd = window_;
        d.uID = kIconId;
        Shell_NotifyIconA(NIM_DELETE, &d);
        added_ = false;
    }
    // notices still queued die with the window; their lines are in the log already
    MSG msg;
    while (PeekMessageA(&msg, window_, WM_TOV_NOTICE, WM_TOV_NOTICE, PM_REMOVE))
        delete reinterpret_cast<Notice*>(msg.lParam);
    DestroyWindow(window_);
    window_ = nullptr;
    if (icon_)
        DestroyIcon(icon_);
    icon_ = nullptr;
}

void Tray::Post(const Notice& notice) {
    auto* copy = new Notice(notice);
    if (!window_ || !PostMessageA(window_, WM_TOV_NOTICE, 0, reinterpret_cast<LPARAM>(copy))) {
        delete copy;
        log_("--- FAILED: the notice could not be handed to the tray");
    }
}

bool Tray::AddIcon() {
    NOTIFYICONDATAA d{};
    d.cbSize = NOTIFYICONDATAA_V2_SIZE;
    d.hWnd = window_;
    d.uID = kIconId;
    d.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    d.uCallbackMessage = WM_TOV_TRAY;
    d.hIcon = icon_;
    CopyText(d.szTip, kTrayTip);
    added_ = Shell_NotifyIconA(NIM_ADD, &d) != FALSE;
    if (added_) {
        // the balloon's click and the keyboard's selection as Windows 2000 and later send them
        d.uVersion = NOTIFYICON_VERSION;
        Shell_NotifyIconA(NIM_SETVERSION, &d);
    }
    JournalNotice("icon\tresult=" + std::to_string(added_ ? 1 : 0) + "\tuFlags=" + Hex(d.uFlags) +
                  "\ttip=" + d.szTip);
    if (!added_)
        log_("--- FAILED: no tray icon (no notification area yet)");
    return added_;
}

void Tray::Show(const Notice& notice) {
    if (!added_)
        AddIcon();
    NOTIFYICONDATAA d{};
    d.cbSize = NOTIFYICONDATAA_V2_SIZE;
    d.hWnd = window_;
    d.uID = kIconId;
    d.uFlags = NIF_INFO;
    CopyText(d.szInfoTitle, notice.title);
    CopyText(d.szInfo, notice.text);
    d.uTimeout = kBalloonMs;
    d.dwInfoFlags = notice.icon == NoticeIcon::Error ? NIIF_ERROR : NIIF_WARNING;
    const bool shown = added_ && Shell_NotifyIconA(NIM_MODIFY, &d) != FALSE;
    // what the shell was handed, read back from the structure itself
    JournalNotice("balloon\tresult=" + std::to_string(shown ? 1 : 0) + "\tuFlags=" + Hex(d.uFlags) +
                  "\tdwInfoFlags=" + Hex(d.dwInfoFlags) + "\tuTimeout=" +
                  std::to_string(d.uTimeout) + "\ttitle=" + d.szInfoTitle + "\ttext=" + d.szInfo);
    if (!shown)
        log_("--- FAILED: the notice could not be shown: " + notice.title);
}

void Tray::Menu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    for (const TrayItem& item : TrayMenu())
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(item.id), item.text);
    POINT at;
    GetCursorPos(&at);
    // the menu closes when the user clicks elsewhere only if its window is in front
    SetForegroundWindow(window_);
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x,
                                      at.y, 0, window_, nullptr);
    PostMessageA(window_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen)
        Choose(chosen);
}

void Tray::Choose(int id) {
    if (id == kTrayBackUpNow) {
        backUpNow_();
    } else if (id == kTrayOpenStatus) {
        OpenStatus("Open backup status chosen");
    }
}

void Tray::OpenStatus(const char* why) {
    std::string program;
    DWORD error = 0;
    if (StartManager(kStatusSwitch, &program, &error))
        log_(std::string(why) + ": " + program + " " + kStatusSwitch + " started");
    else
        log_(std::string("--- FAILED: cannot start ") + program + " (" + std::to_string(error) +
             ")");
}

LRESULT CALLBACK Tray::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Tray*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && self->window_ == hwnd)
        return self->Handle(message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Tray::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TOV_NOTICE) {
        std::unique_ptr<Notice> notice(reinterpret_cast<Notice*>(lParam));
        Show(*notice);
        return 0;
    }
    if (message == WM_TOV_TRAY) {
        switch (LOWORD(lParam)) {
        case NIN_BALLOONUSERCLICK:
            OpenStatus("Notice clicked");
            break;
        case WM_LBUTTONDBLCLK:
            OpenStatus("Tray icon opened");
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            Menu();
            break;
        default:
            break;
        }
        return 0;
    }
    if (message == WM_COMMAND) {
        Choose(LOWORD(wParam));
        return 0;
    }
    if (taskbarCreated_ && message == taskbarCreated_) {
        added_ = false;
        AddIcon();
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

} // namespace engine
