// Modal dialogs with their own message loop, so screens see keys before the dialog manager.
#include "skin/dialog_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "skin/resources_win32.h"

namespace skin {
namespace {
// The dialogs running on this thread, innermost last: a dialog opened without a parent belongs
// to the one it was opened from, which stays disabled below it as with any modal dialog.
thread_local std::vector<Dialog*> t_running;
} // namespace

bool RegisterCommonControls() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC =
        ICC_PROGRESS_CLASS | ICC_DATE_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES;
    return InitCommonControlsEx(&classes) != FALSE;
}

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
    AwaitWorkers();
}

int Dialog::DoModal() {
    ended_ = false;
    result_ = -1;
    lastFocus_ = nullptr;
    link_.reset();
    HWND owner = parent_;
    if (!owner && !t_running.empty()) {
        owner = t_running.back()->Hwnd();
    }
    // the owner is disabled before the dialog's start-up runs, as modal dialogs do it
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    t_running.push_back(this);
    SetLastError(0);
    HWND hwnd = CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(templateId_), owner,
                                   Procedure, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        // a control whose class is missing may leave no code: no window is what is known
        creationError_ = GetLastError() ? GetLastError() : ERROR_INVALID_WINDOW_HANDLE;
        t_running.pop_back();
        if (ownerWasEnabled) {
            EnableWindow(owner, TRUE);
        }
        return -1;
    }
    if (!ended_) {
        RememberFocus();
        ShowWindow(hwnd_, SW_SHOW);
        UpdateWindow(hwnd_);
    }
    MSG msg;
    while (!ended_) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT belongs to the outer loop, if there is one
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
            }
            break;
        }
        const bool ours = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
        if (ours && PreTranslateMessage(msg)) {
            RememberFocus();
            continue;
        }
        if (ours && IsDialogMessageA(hwnd_, &msg)) {
            RememberFocus();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        RememberFocus();
    }
    // enabled again before this one goes, so that the activation passes to it
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
    }
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
    t_running.erase(std::find(t_running.begin(), t_running.end(), this));
    if (ownerWasEnabled) {
        SetActiveWindow(owner);
    }
    AwaitWorkers();
    return result_;
}

void Dialog::AwaitWorkers() {
    for (HANDLE thread : workers_) {
        // A worker may show a window of its own, whose creation sends messages to the windows
        // of this thread: those are answered while waiting.
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
               WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        }
        CloseHandle(thread);
    }
    workers_.clear();
}

void Dialog::RememberFocus() {
    HWND f = GetFocus();
    if (hwnd_ && f && IsChild(hwnd_, f)) {
        lastFocus_ = f;
    }
}

void Dialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    // wakes the loop even when nothing else is queued
    if (hwnd_) {
        PostMessageA(hwnd_, WM_NULL, 0, 0);
    }
}

void Dialog::SetItemText(int id, const std::string& text) {
    SetDlgItemTextA(hwnd_, id, text.c_str());
}

std::string Dialog::ItemText(int id) const {
    HWND item = Item(id);
    int n = GetWindowTextLengthA(item);
    std::string s(n + 1, '\0');
    n = GetWindowTextA(item, &s[0], n + 1);
    s.resize(n > 0 ? n : 0);
    return s;
}

void Dialog::ShowItem(int id, bool show) { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }

void Dialog::EnableItem(int id, bool enable) { EnableWindow(Item(id), enable); }

void Dialog::MoveItem(int id, int x, int y, int width, int height) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (width < 0 || height < 0) {
        flags |= SWP_NOSIZE;
    }
    SetWindowPos(Item(id), nullptr, x, y, width, height, flags);
}

void Dialog::SetFocusTo(int id) { SendMessageA(hwnd_, WM_NEXTDLGCTL, (WPARAM)Item(id), TRUE); }

int Dialog::FocusedId() const {
    HWND f = GetFocus();
    return f && IsChild(hwnd_, f) ? GetDlgCtrlID(f) : 0;
}

bool Dialog::StartTimer(UINT_PTR id, UINT milliseconds) {
    return SetTimer(hwnd_, id, milliseconds, nullptr) != 0;
}

void Dialog::StopTimer(UINT_PTR id) { KillTimer(hwnd_, id); }

std::shared_ptr<WorkerLink> Dialog::Link() {
    if (!link_) {
        link_ = std::make_shared<WorkerLink>(hwnd_);
    }
    return link_;
}

bool Dialog::StartWorker(UINT doneMessage, std::function<std::uint32_t(WorkerLink&)> work) {
    HANDLE thread = skin::StartWorker(Link(), doneMessage, std::move(work));
    if (!thread) {
        return false;
    }
    workers_.push_back(thread);
    return true;
}

bool Dialog::OnCommand(int, int, HWND) { return false; }

INT_PTR Dialog::OnMessage(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return FALSE;
}

void Dialog::CentreIfUnmoved(const RECT& before) {
    RECT now;
    GetWindowRect(hwnd_, &now);
    if (now.left != before.left || now.top != before.top) {
        return;
    }
    // the way dialog frameworks do it: over the owner, or in the work area
    RECT area;
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int w = now.right - now.left, h = now.bottom - now.top;
    int x = (area.left + area.right - w) / 2, y = (area.top + area.bottom - h) / 2;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (x + w > work.right) {
        x = work.right - w;
    }
    if (y + h > work.bottom) {
        y = work.bottom - h;
    }
    if (x < work.left) {
        x = work.left;
    }
    if (y < work.top) {
        y = work.top;
    }
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        SetPropA(hwnd, kDialogIdProperty, reinterpret_cast<HANDLE>(self->templateId_));
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self) {
        return FALSE;
    }
    return self->Dispatch(message, wParam, lParam);
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        RECT before;
        GetWindowRect(hwnd_, &before);
        bool focus = OnInitDialog();
        if (hwnd_) {
            CentreIfUnmoved(before);
        }
        // the dialog is not shown yet: its controls' own visibility is what counts
        HWND initial = focus && hwnd_ && initialFocus_ ? Item(initialFocus_) : nullptr;
        if (initial && (GetWindowLongA(initial, GWL_STYLE) & WS_VISIBLE) &&
            IsWindowEnabled(initial)) {
            SetFocusTo(initialFocus_);
            focus = false;
        } else if (focus && hwnd_) {
            HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            if (first && !TakesFirstFocus(GetDlgCtrlID(first))) {
                focus = false;
            }
        }
        return focus;
    }
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_TIMER:
        OnTimer(wParam);
        return TRUE;
    case WM_SETFOCUS:
        // The dialog itself gets the focus when it is activated, which Wine may do late, after
        // the window system's own focus event: the dialog manager would then put it on the first
        // control of the tab order and lose the one the screen (or the user) chose.
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) &&
            (GetWindowLongA(lastFocus_, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(lastFocus_)) {
            SetFocus(lastFocus_);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY: {
        bool handled = false;
        OnMessage(message, wParam, lParam, handled);
        OnDestroy();
        if (link_) {
            link_->Close();
        }
        RemovePropA(hwnd_, kDialogIdProperty);
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        hwnd_ = nullptr;
        if (!ended_) {
            ended_ = true;
        }
        return TRUE;
    }
    default: {
        bool handled = false;
        INT_PTR r = OnMessage(message, wParam, lParam, handled);
        return handled ? r : FALSE;
    }
    }
}

} // namespace skin
