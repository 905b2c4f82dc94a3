// The restore-type page's two choices, its Next or Open, and its help file.
#include "backup/restore_type_win32.h"

#include "app/globals.h"
#include "app/log.h"
#include "backup/restore.h"
#include "res/resource.h"
#include "setup/launch.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace backup {

namespace {

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace

RestoreTypeScreen::RestoreTypeScreen(const std::string& sortFolder)
    : Screen(IDD_RESTORE_TYPE), shareRoot(sortFolder) {}

bool RestoreTypeScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_RESTORE_TYPE);
    SetItemText(IDC_RESTORE_VERSION, skin::LoadString(120));
    SetItemText(IDC_RESTORE_RECENT, skin::LoadString(122));
    ApplyJapaneseFont({IDC_RESTORE_VERSION, IDC_RESTORE_RECENT});
    SendDlgItemMessageA(Hwnd(), IDC_RESTORE_VERSION, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(Hwnd(), IDC_RESTORE_RECENT, BM_SETCHECK, BST_UNCHECKED, 0);
    ShowNextLabel();
    SetFocusTo(IDC_NEXT);
    return false;
}

void RestoreTypeScreen::ShowNextLabel() {
    const bool open = Checked(Hwnd(), IDC_RESTORE_RECENT);
    skin::SetLabelText(*this, IDC_NEXT_LABEL,
                       skin::LoadString(open ? STR_OPEN_LABEL : STR_NEXT_LABEL));
}

void RestoreTypeScreen::Next() {
    if (!Checked(Hwnd(), IDC_RESTORE_RECENT)) {
        EndDialog(setup::RESULT_NEXT);
        return;
    }
    const std::string folder = shareRoot + skin::LoadString(STR_BACKUP_FOLDER);
    WriteLog(LOG_TRACE, "Going to open window to restore <%s>", folder.c_str());
    setup::OpenTarget(folder, setup::SystemShell());
    EndDialog(setup::RESULT_FINISHED);
}

void RestoreTypeScreen::OnEnter(int focusedId) {
    if (focusedId == IDC_BACK)
        EndDialog(setup::RESULT_BACK);
    else if (focusedId == IDC_HELP_BUTTON)
        Press(IDC_HELP_BUTTON);
    else
        Next();
}

bool RestoreTypeScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_RESTORE_VERSION:
    case IDC_RESTORE_RECENT:
        ShowNextLabel();
        return true;
    case IDC_BACK:
        EndDialog(setup::RESULT_BACK);
        return true;
    case IDC_NEXT:
        Next();
        return true;
    case IDC_HELP_BUTTON:
    case IDC_HELP_LINK:
        setup::OpenTarget(app::InstallDirectory() + skin::LoadString(STR_RESTORE_TYPE_HELP_FILE),
                          setup::SystemShell());
        return true;
    default:
        return false;
    }
}

} // namespace backup
