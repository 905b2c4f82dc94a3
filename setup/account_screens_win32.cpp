// The account screens' common part, Choose account and Account purpose.
#include "setup/account_screens_win32.h"

#include "app/globals.h"
#include "app/log.h"
#include "res/resource.h"
#include "setup/account_rules.h"
#include "setup/launch.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace setup {

AccountScreen::AccountScreen(UINT templateId, std::string applianceName)
    : Screen(templateId), applianceName(std::move(applianceName)),
      stop(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

AccountScreen::~AccountScreen() {
    if (stop)
        CloseHandle(stop);
}

void AccountScreen::OnDestroy() {
    if (busy)
        WriteLog(LOG_TRACE, "  The screen has closed; waiting for its thread to end");
    if (stop)
        SetEvent(stop);
}

void AccountScreen::Prepare(int dialogId) {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, dialogId);
    skin::SetLabelText(*this, IDC_DEVICE, applianceName);
}

void AccountScreen::EnableButton(int buttonId, int labelId, bool enabled) {
    EnableItem(buttonId, enabled);
    if (skin::SkinLabel* label = FindLabel(labelId)) {
        label->SetDimmed(!enabled);
        label->Redraw();
    }
}

void AccountScreen::SetBusy(bool on) {
    busy = on;
    SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

void AccountScreen::OpenHelp(int fileStringId) {
    LaunchTarget(app::InstallDirectory() + skin::LoadString(static_cast<UINT>(fileStringId)));
}

void AccountScreen::ShowBusyText() {
    // the text begins with blank lines: it takes the room of the controls hidden beneath
    RECT r;
    GetWindowRect(Item(IDC_INSTRUCTION), &r);
    MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    MoveItem(IDC_INSTRUCTION, r.left, r.top, r.right - r.left, 160);
    skin::SetLabelText(*this, IDC_INSTRUCTION, skin::LoadString(STR_BUSY));
}

void AccountScreen::OnEnter(int focusedId) {
    Press(EnterGoesBack(focusedId == IDC_BACK) ? IDC_BACK : IDC_NEXT);
}

INT_PTR AccountScreen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_SETCURSOR && busy) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, TRUE);
        handled = true;
        return TRUE;
    }
    return Screen::OnMessage(message, wParam, lParam, handled);
}

ChooseAccountScreen::ChooseAccountScreen(const std::string& applianceName, int function)
    : AccountScreen(IDD_CHOOSE_ACCOUNT, applianceName), function(function) {}

bool ChooseAccountScreen::OnInitDialog() {
    Prepare(IDD_CHOOSE_ACCOUNT);
    ApplyJapaneseFont({IDC_ACCOUNT_PUBLIC, IDC_ACCOUNT_PRIVATE, IDC_ACCOUNT_EXISTING});
    const int options[] = {IDC_ACCOUNT_EXISTING, IDC_ACCOUNT_PUBLIC, IDC_ACCOUNT_PRIVATE};
    for (int id : options)
        SendMessageA(Item(id), BM_SETCHECK, BST_UNCHECKED, 0);
    if (function >= CREATE_EXIST && function <= CREATE_PRIVATE)
        SendMessageA(Item(options[function - CREATE_EXIST]), BM_SETCHECK, BST_CHECKED, 0);
    SetFocusTo(IDC_NEXT);
    return false;
}

bool ChooseAccountScreen::Checked(int id) const {
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool ChooseAccountScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_NEXT:
        function = ChosenFunction(Checked(IDC_ACCOUNT_EXISTING), Checked(IDC_ACCOUNT_PUBLIC),
                                  Checked(IDC_ACCOUNT_PRIVATE), function);
        EndDialog(RESULT_NEXT);
        return true;
    case IDC_BACK:
        EndDialog(RESULT_BACK);
        return true;
    case IDC_HELP_BUTTON:
    case IDC_HELP_LINK:
        OpenHelp(STR_CHOOSE_HELP_FILE);
        return true;
    default:
        return false;
    }
}

PurposeScreen::PurposeScreen(const std::string& applianceName, const std::string& ipAddress,
                             int function, const std::string& accountName,
                             const std::string& password)
    : AccountScreen(IDD_ACCOUNT_PURPOSE, applianceName), ipAddress(ipAddress), function(function),
      accountName(accountName), password(password) {}

bool PurposeScreen::OnInitDialog() {
    Prepare(IDD_ACCOUNT_PURPOSE);
    ApplyJapaneseFont({IDC_PURPOSE_HOME, IDC_PURPOSE_BUSINESS});
    SendMessageA(Item(IDC_PURPOSE_HOME), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(Item(IDC_PURPOSE_BUSINESS), BM_SETCHECK, BST_UNCHECKED, 0);
    SetFocusTo(IDC_NEXT);
    return false;
}

void PurposeScreen::Finish() {
    if (Busy())
        return;
    SetupRequest request;
    request.function = function;
    request.deviceName = applianceName;
    request.ipAddress = ipAddress;
    request.accountName = accountName;
    request.password = password;
    request.noPassword = function == CREATE_PUBLIC;
    request.business =
        SendMessageA(Item(IDC_PURPOSE_BUSINESS), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    request.newAccount = true;
    SetBusy(true);
    EnableButton(IDC_BACK, IDC_BACK_LABEL, false);
    EnableButton(IDC_NEXT, IDC_NEXT_LABEL, false);
    for (int id : {IDC_PURPOSE_HEADING, IDC_PURPOSE_DESCRIPTION, IDC_PURPOSE_HOME,
                   IDC_PURPOSE_BUSINESS, IDC_HELP_LINK, IDC_HELP_BUTTON})
        ShowItem(id, false);
    ShowBusyText();
    WriteLog(LOG_TRACE, "Starting Setup Shared Storage Thread...");
    if (!StartSetupThread(*this, WM_SETUP_FINISHED, request, stop)) {
        // no thread, no set-up: the screen fails as a set-up that could not start
        resultCode = GetLastError();
        EndDialog(RESULT_SETUP_FAILED);
    }
}

bool PurposeScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_NEXT:
        Finish();
        return true;
    case IDC_BACK:
        if (!Busy())
            EndDialog(RESULT_BACK);
        return true;
    case IDC_HELP_BUTTON:
    case IDC_HELP_LINK:
        OpenHelp(STR_FOLDERS_HELP_FILE);
        return true;
    default:
        return false;
    }
}

INT_PTR PurposeScreen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_SETUP_FINISHED) {
        WriteLog(LOG_TRACE, "Setup Shared Completed Message arrived");
        resultCode = static_cast<uint32_t>(wParam);
        EnableButton(IDC_BACK, IDC_BACK_LABEL, true);
        EnableButton(IDC_NEXT, IDC_NEXT_LABEL, true);
        SetBusy(false);
        EndDialog(resultCode == 0 ? RESULT_SETUP_DONE : RESULT_SETUP_FAILED);
        handled = true;
        return TRUE;
    }
    return AccountScreen::OnMessage(message, wParam, lParam, handled);
}

} // namespace setup
