// The two menu screens over the menus' item table: texts, keys and the focused item's label.
#include "setup/menus_win32.h"

#include "res/resource.h"
#include "setup/launch.h"
#include "setup/menus.h"
#include "skin/look.h"
#include "skin/place_controls_win32.h"

namespace setup {
namespace {

constexpr const char* kVersionText = "v1.1.0.35";

bool IsMenuButton(int id) {
    return id == IDC_MENU_SETUP || id == IDC_MENU_BACKUP || id == IDC_MENU_MANAGE || id == IDC_BACK;
}

bool IsDriveItem(int id) {
    return id == IDC_DM_SORT || id == IDC_DM_WEB || id == IDC_DM_STATUS || id == IDC_DM_MEDIA ||
           id == IDC_BACK;
}

} // namespace

MainMenuScreen::MainMenuScreen(const std::string& hostName, const std::string& ipAddress)
    : Screen(IDD_MAIN_MENU), hostName(hostName), ipAddress(ipAddress) {}

bool MainMenuScreen::OnInitDialog() {
    InitSkin(IDB_BG_MAIN_MENU);
    skin::PlaceControls(*this, IDD_MAIN_MENU);
    skin::SetLabelText(*this, IDC_DEVICE, hostName);
    skin::SetLabelText(*this, IDC_VERSION, kVersionText);
    SetFocusTo(IDC_MENU_SETUP);
    return false;
}

void MainMenuScreen::Choose(int buttonId) {
    if (const int result = ChooseMainMenuItem(buttonId))
        EndDialog(result);
}

void MainMenuScreen::OnEnter(int focusedId) { Choose(focusedId); }

bool MainMenuScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED || !IsMenuButton(id))
        return false;
    Choose(id);
    return true;
}

DriveManagementScreen::DriveManagementScreen(const std::string& hostName,
                                             const std::string& ipAddress)
    : Screen(IDD_DRIVE_MANAGEMENT), hostName(hostName), ipAddress(ipAddress) {}

bool DriveManagementScreen::OnInitDialog() {
    InitSkin(IDB_BG_DRIVE_MANAGEMENT);
    skin::PlaceControls(*this, IDD_DRIVE_MANAGEMENT);
    skin::SetLabelText(*this, IDC_DEVICE, hostName);
    SetFocusTo(IDC_DM_SORT);
    return false;
}

void DriveManagementScreen::Choose(int buttonId) {
    if (const int result = ChooseDriveManagementItem(buttonId, ipAddress, SystemShell()))
        EndDialog(result);
}

void DriveManagementScreen::OnEnter(int focusedId) { Choose(focusedId); }

bool DriveManagementScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED || !IsDriveItem(id))
        return false;
    Choose(id);
    return true;
}

void DriveManagementScreen::MoveFocus(bool previous) {
    HWND from = GetFocus();
    if (from != Hwnd() && !IsChild(Hwnd(), from))
        from = nullptr;
    if (HWND to = GetNextDlgTabItem(Hwnd(), from, previous ? TRUE : FALSE))
        SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(to), TRUE);
}

bool DriveManagementScreen::PreTranslateMessage(MSG& msg) {
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_SHIFT) {
        shiftHeld = msg.message == WM_KEYDOWN;
        return false;
    }
    if (msg.message == WM_KEYDOWN) {
        switch (msg.wParam) {
        case VK_TAB:
            MoveFocus(shiftHeld);
            return true;
        case VK_DOWN:
        case VK_RIGHT:
            MoveFocus(false);
            return true;
        case VK_UP:
        case VK_LEFT:
            MoveFocus(true);
            return true;
        default:
            break;
        }
    }
    return Screen::PreTranslateMessage(msg);
}

INT_PTR DriveManagementScreen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         bool& handled) {
    if (message == WM_DRAWITEM) {
        // the focused item's label is blue when the button redraws it
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if ((item->itemState & ODS_FOCUS) && IsDriveItem(static_cast<int>(item->CtlID))) {
            skin::BitmapButton* button = FindButton(static_cast<int>(item->CtlID));
            if (button && button->Label() && item->CtlID != IDC_BACK)
                button->Label()->SetColours(skin::kTitleBlue, skin::kTransparentBack);
        }
    }
    return Screen::OnMessage(message, wParam, lParam, handled);
}

} // namespace setup
