// The name and password screen: a new account's name and password checked, or an existing account
// chosen from the appliance's list and set up from here.
#include "setup/account_screens_win32.h"

#include "app/log.h"
#include "protocol/channel.h"
#include "res/resource.h"
#include "setup/account_rules.h"
#include "setup/message_dialog_win32.h"
#include "setup/name_view_win32.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace setup {
namespace {

// The public share when the appliance does not name it.
constexpr const char* DEFAULT_PUBLIC_NAME = "Public";
// Windows user names are read into a buffer of this size.
constexpr DWORD USER_NAME_BUFFER = 256;

// The body of UserListThread: the public share's name, the account list and, for the entry the
// screen will select, whether it has a password.
UserList FetchUserList(const std::string& address) {
    WriteLog(LOG_TRACE, "Get User List Thread Started...");
    CommandChannel channel;
    channel.SetTarget(address);
    std::string publicName;
    if (channel.SendGps1(publicName) != CMD_OK)
        publicName = DEFAULT_PUBLIC_NAME;
    uint32_t status = 0;
    uint32_t count = 0;
    const std::string text = channel.SendLsts(status, count);
    UserList list;
    list.code = status;
    if (status == 0) {
        list.names = ChoosableAccounts(text, count, publicName);
        list.first = FirstInListOrder(list.names);
        if (!list.first.empty())
            list.passwordNeed = channel.SendGsp1(list.first);
    }
    WriteLog(LOG_TRACE, "Get User List Thread Ended...");
    return list;
}

} // namespace

NamePasswordScreen::NamePasswordScreen(const std::string& applianceName,
                                       const std::string& ipAddress, int function)
    : AccountScreen(IDD_NAME_PASSWORD, applianceName), ipAddress(ipAddress), function(function) {}

bool NamePasswordScreen::OnInitDialog() {
    Prepare(IDD_NAME_PASSWORD);
    ApplyJapaneseFont({IDC_ACCOUNT_LIST});
    SendMessageA(Item(IDC_NAME), EM_LIMITTEXT, MAX_NAME_LENGTH, 0);
    SendMessageA(Item(IDC_PASSWORD), EM_LIMITTEXT, MAX_PASSWORD_LENGTH, 0);
    SendMessageA(Item(IDC_RETYPE), EM_LIMITTEXT, MAX_PASSWORD_LENGTH, 0);

    ShowNameScreenView(*this, ViewFor(function));
    if (function == CREATE_EXIST)
        StartUserList();
    else
        ProposeWindowsUser();
    return false;
}

void NamePasswordScreen::ProposeWindowsUser() {
    char name[USER_NAME_BUFFER] = "";
    DWORD length = sizeof name;
    const bool known = GetUserNameA(name, &length) != FALSE;
    name[USER_NAME_BUFFER - 1] = 0;
    const NameProposal proposal = ProposeName(function, known, name);
    SetItemText(IDC_NAME, proposal.name);
    SetFocusTo(proposal.focus == EntryField::Name ? IDC_NAME : IDC_PASSWORD);
}

void NamePasswordScreen::StartUserList() {
    EnableButton(IDC_NEXT, IDC_NEXT_LABEL, false);
    SetBusy(true);
    const std::string address = ipAddress;
    const bool started = StartWorker(0, [address](skin::WorkerLink& link) {
        link.DeliverValue(WM_USER_LIST_READY, FetchUserList(address));
        return 0u;
    });
    if (!started) {
        resultCode = GetLastError();
        EndDialog(RESULT_SETUP_FAILED);
    }
}

void NamePasswordScreen::ApplyPasswordAnswer(int answer) {
    switch (PasswordFieldFor(answer)) {
    case PasswordField::Enable:
        EnableItem(IDC_PASSWORD, true);
        noPassword = false;
        break;
    case PasswordField::Disable:
        EnableItem(IDC_PASSWORD, false);
        noPassword = true;
        break;
    case PasswordField::Unchanged:
        break;
    }
}

void NamePasswordScreen::OnUserListReady(LPARAM lParam) {
    std::unique_ptr<skin::Parcel<UserList>> parcel = Link()->TakeValue<UserList>(lParam);
    if (!parcel)
        return;
    const UserList& list = parcel->value;
    HWND box = Item(IDC_ACCOUNT_LIST);
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : list.names)
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (!list.first.empty()) {
        const LRESULT index = SendMessageA(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(list.first.c_str()));
        SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        accountName = list.first;
        ApplyPasswordAnswer(list.passwordNeed);
    }
    resultCode = list.code;
    WriteLog(LOG_TRACE, "New User List Updated");
    SetBusy(false);
    EnableButton(IDC_NEXT, IDC_NEXT_LABEL, true);
    if (resultCode != 0) {
        EndDialog(RESULT_SETUP_FAILED);
    } else if (list.names.empty()) {
        resultCode = ERR_NO_ACCOUNTS;
        EndDialog(RESULT_SETUP_FAILED);
    } else {
        SetFocusTo(IDC_ACCOUNT_LIST);
    }
}

void NamePasswordScreen::OnSelectionChange() {
    HWND box = Item(IDC_ACCOUNT_LIST);
    const LRESULT index = SendMessageA(box, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return;
    char name[MAX_PATH] = "";
    if (SendMessageA(box, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0) >= MAX_PATH)
        return;
    SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name));
    accountName = name;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    CommandChannel channel;
    channel.SetTarget(ipAddress);
    ApplyPasswordAnswer(channel.SendGsp1(accountName));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void NamePasswordScreen::Forward() {
    if (Busy())
        return;
    if (function == CREATE_EXIST) {
        StartExistingSetup();
        return;
    }
    const EntryCheck check =
        CheckEntries(function, ItemText(IDC_NAME), ItemText(IDC_PASSWORD), ItemText(IDC_RETYPE));
    if (check.code != 0) {
        resultCode = check.code;
        ShowMessageDialog(applianceName, check.code, Hwnd());
        SetFocusTo(check.focus == EntryField::Name ? IDC_NAME : IDC_PASSWORD);
        return;
    }
    accountName = check.name;
    password = function == CREATE_PRIVATE ? check.password : std::string();
    EndDialog(RESULT_NEXT);
}

void NamePasswordScreen::StartExistingSetup() {
    HWND box = Item(IDC_ACCOUNT_LIST);
    const LRESULT index = SendMessageA(box, LB_GETCURSEL, 0, 0);
    if (index != LB_ERR &&
        SendMessageA(box, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0) < MAX_PATH) {
        char name[MAX_PATH] = "";
        SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name));
        accountName = name;
    }
    SetupRequest request;
    request.function = CREATE_EXIST;
    request.deviceName = applianceName;
    request.ipAddress = ipAddress;
    request.accountName = accountName;
    // as typed: an existing account's password is neither trimmed nor checked
    request.password = ItemText(IDC_PASSWORD);
    request.noPassword = noPassword;
    request.business = 0;
    SetBusy(true);
    EnableButton(IDC_BACK, IDC_BACK_LABEL, false);
    EnableButton(IDC_NEXT, IDC_NEXT_LABEL, false);
    for (int id : {IDC_NAME_CAPTION, IDC_NAME, IDC_ACCOUNT_LIST, IDC_PASSWORD_CAPTION, IDC_PASSWORD,
                   IDC_RETYPE_CAPTION, IDC_RETYPE})
        ShowItem(id, false);
    ShowBusyText();
    WriteLog(LOG_TRACE, "Starting Setup Shared Storage Thread...");
    if (!StartSetupThread(*this, WM_EXISTING_SETUP_FINISHED, request, stop)) {
        resultCode = GetLastError();
        EndDialog(RESULT_SETUP_FAILED);
    }
}

bool NamePasswordScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (id == IDC_ACCOUNT_LIST && code == LBN_SELCHANGE) {
        if (!Busy())
            OnSelectionChange();
        return true;
    }
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_NEXT:
        Forward();
        return true;
    case IDC_BACK:
        // Enter reaches here with Back disabled while a set-up runs
        if (IsWindowEnabled(Item(IDC_BACK)))
            EndDialog(RESULT_BACK);
        return true;
    case IDC_HELP_BUTTON:
    case IDC_HELP_LINK:
        OpenHelp(ViewFor(function).helpFileId);
        return true;
    default:
        return false;
    }
}

INT_PTR NamePasswordScreen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_USER_LIST_READY) {
        OnUserListReady(lParam);
        handled = true;
        return TRUE;
    }
    if (message == WM_EXISTING_SETUP_FINISHED) {
        WriteLog(LOG_TRACE, "Setup Shared Completed Message arrived");
        resultCode = static_cast<uint32_t>(wParam);
        EnableButton(IDC_BACK, IDC_BACK_LABEL, true);
        EnableButton(IDC_NEXT, IDC_NEXT_LABEL, true);
        SetBusy(false);
        EndDialog(resultCode == 0 ? RESULT_SETUP_DONE : RESULT_SETUP_FAILED);
        SetItemText(IDC_PASSWORD, "");
        SetItemText(IDC_RETYPE, "");
        handled = true;
        return TRUE;
    }
    return AccountScreen::OnMessage(message, wParam, lParam, handled);
}

} // namespace setup
