// File Maintenance and its please-wait page over the skin, the message dialog and the engine link.
#include "backup/backup_menu_win32.h"

#include "app/globals.h"
#include "backup/backup_engine.h"
#include "res/resource.h"
#include "setup/launch.h"
#include "setup/message_dialog_win32.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace backup {
namespace {

constexpr UINT STR_HISTORY_HELP = 224; // "\help_file.chm"

} // namespace

CleanUpScreen::CleanUpScreen(const std::string& hostName, Platform* platform, CommandSender send)
    : Screen(IDD_CLEAN_UP), hostName_(hostName), platform_(platform), send_(std::move(send)) {
    if (!send_)
        send_ = [](const char* command) { BackupEngine::SendCommand(command); };
}

bool CleanUpScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_CLEAN_UP);
    SetFocusTo(IDC_CLEAN_DELETE);
    return false;
}

int CleanUpScreen::Confirm(uint32_t code) { return setup::ShowMessageDialog("", code, Hwnd()); }

int CleanUpScreen::RunPleaseWait(const std::string& command) {
    PleaseWaitScreen wait(command, send_, Hwnd());
    return wait.DoModal();
}

std::string CleanUpScreen::SyncCommand() { return CleanCommand(ShareVersionHistory(platform_)); }

bool CleanUpScreen::Operate(int buttonId) {
    int result = 0;
    switch (buttonId) {
    case IDC_CLEAN_DELETE:
        result = RunCleanUpOperation(CleanUpOperation::DeleteHistory, *this);
        break;
    case IDC_CLEAN_SYNC:
        result = RunCleanUpOperation(CleanUpOperation::SyncBackup, *this);
        break;
    case IDC_HELP_BUTTON:
    case IDC_HELP_LINK:
        setup::LaunchTarget(app::InstallDirectory() + skin::LoadString(STR_HISTORY_HELP));
        break;
    case IDC_BACK:
        result = setup::RESULT_BACK;
        break;
    default:
        return false;
    }
    if (result)
        EndDialog(result);
    return true;
}

void CleanUpScreen::OnEnter(int focusedId) { Operate(focusedId); }

bool CleanUpScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    return code == BN_CLICKED && Operate(id);
}

PleaseWaitScreen::PleaseWaitScreen(const std::string& command, CommandSender send, HWND parent)
    : Screen(IDD_PLEASE_WAIT, parent), send_(std::move(send)), wait_(command, *this) {}

bool PleaseWaitScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_PLEASE_WAIT);
    skin::SetLabelText(*this, IDC_TITLE, skin::LoadString(static_cast<UINT>(wait_.TitleString())));
    wait_.Started(StartTimer(kPleaseWaitTimerId, kPleaseWaitTimerMs));
    return false;
}

void PleaseWaitScreen::OnTimer(UINT_PTR id) { wait_.Tick(static_cast<unsigned>(id)); }

void PleaseWaitScreen::SetBody(int stringId) {
    skin::SetLabelText(*this, IDC_MESSAGE_TEXT, skin::LoadString(static_cast<UINT>(stringId)));
}

void PleaseWaitScreen::EnableOk() {
    EnableItem(IDC_NEXT, true);
    SetFocusTo(IDC_NEXT);
}

void PleaseWaitScreen::StopTicking() { StopTimer(kPleaseWaitTimerId); }

void PleaseWaitScreen::Send(const std::string& command) { send_(command.c_str()); }

void PleaseWaitScreen::OnEnter(int focusedId) {
    if (focusedId == IDC_NEXT && wait_.Done())
        EndDialog(setup::RESULT_FINISHED);
}

bool PleaseWaitScreen::OnCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED && id == IDC_CLOSE) {
        // the close button still closes; only Esc and Alt+F4 are swallowed
        EndDialog(setup::RESULT_CLOSE);
        return true;
    }
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED || id != IDC_NEXT)
        return false;
    if (wait_.Done())
        EndDialog(setup::RESULT_FINISHED);
    return true;
}

} // namespace backup
