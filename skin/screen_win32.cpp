// Common screen behaviour on top of SkinDialog.
#include "skin/screen_win32.h"

#include "res/resource.h"
#include "skin/resources_win32.h"

namespace skin {

BOOL Screen::InitSkin(UINT bitmapId) {
    SkinDialog::InitSkin(bitmapId);
    const int width = BitmapWidth() > 0 ? BitmapWidth() : 650;
    // (620, 8) and (600, 8) on a 650-pixel face: 30 and 50 pixels from the right edge
    // they carry no label: their names come from the string table
    if (Item(IDC_CLOSE)) {
        AddButton(IDC_CLOSE, {IDB_CLOSE_UP, IDB_CLOSE_DOWN, 0, 0})
            .SetName(LoadString(IDS_CLOSE_NAME));
        MoveItem(IDC_CLOSE, width - 30, 8);
    }
    if (Item(IDC_MINIMIZE)) {
        AddButton(IDC_MINIMIZE, {IDB_MINIMIZE_UP, IDB_MINIMIZE_DOWN, 0, 0})
            .SetName(LoadString(IDS_MINIMIZE_NAME));
        MoveItem(IDC_MINIMIZE, width - 50, 8);
    }
    return TRUE;
}

bool Screen::TakesFirstFocus(int id) const { return id != IDC_CLOSE && id != IDC_MINIMIZE; }

bool Screen::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) {
        return false;
    }
    const bool alt = (HIWORD(msg.lParam) & KF_ALTDOWN) != 0;
    switch (ClassifyKey(msg.message == WM_SYSKEYDOWN, static_cast<unsigned>(msg.wParam), alt)) {
    case KeyAction::Ignore:
        return true;
    case KeyAction::Enter:
        // the title-bar buttons do what they show, whatever the screen's own Enter rule
        if (FocusedId() == IDC_CLOSE || FocusedId() == IDC_MINIMIZE) {
            Press(FocusedId());
        } else {
            OnEnter(FocusedId());
        }
        return true;
    case KeyAction::Close:
        OnClose();
        return true;
    case KeyAction::Pass:
    default:
        return false;
    }
}

bool Screen::OnCommand(int id, int code, HWND control) {
    (void)control;
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
    case IDC_CLOSE:
        OnClose();
        return true;
    case IDC_MINIMIZE:
        ShowWindow(Hwnd(), SW_MINIMIZE);
        return true;
    case IDOK:
    case IDCANCEL:
        // what the dialog manager makes of Enter and Esc; the keys are handled above
        return true;
    default:
        return false;
    }
}

INT_PTR Screen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        OnClose();
        handled = true;
        return TRUE;
    }
    if (message == WM_CLOSE) {
        OnClose();
        handled = true;
        return TRUE;
    }
    return SkinDialog::OnMessage(message, wParam, lParam, handled);
}

void Screen::Press(int id) {
    SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)Item(id));
}

} // namespace skin
