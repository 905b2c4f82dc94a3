// The two Drag and Sort screens over the product key, the shell and the skin.
#include "sort/sort_win32.h"

#include "app/globals.h"
#include "app/log.h"
#include "app/settings.h"
#include "res/resource.h"
#include "setup/launch.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"
#include "sort/drag_sort.h"

namespace dragsort {
namespace {

void Check(HWND dialog, int id, bool on) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetText(skin::SkinDialog& dialog, int id, int stringId) {
    dialog.SetItemText(id, skin::LoadString(static_cast<UINT>(stringId)));
}

} // namespace

SortSettingsScreen::SortSettingsScreen() : Screen(IDD_SORT_SETTINGS) {}

bool SortSettingsScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_SORT_SETTINGS);
    SetText(*this, IDC_SORT_ON, STR_ON);
    SetText(*this, IDC_SORT_OFF, STR_OFF);
    SetText(*this, IDC_SORT_PRIVATE, STR_PRIVATE);
    SetText(*this, IDC_SORT_PUBLIC, STR_PUBLIC);
    ApplyJapaneseFont({IDC_SORT_ON, IDC_SORT_OFF, IDC_SORT_PRIVATE, IDC_SORT_PUBLIC});
    // a missing value reads as on and is stored as 1 at once
    const bool on = AppSettings::ReadFlag("EnableSort");
    Check(Hwnd(), IDC_SORT_ON, on);
    Check(Hwnd(), IDC_SORT_OFF, !on);
    const bool mine = AppSettings::ReadFlag("SortMyFolder");
    Check(Hwnd(), IDC_SORT_PRIVATE, mine);
    Check(Hwnd(), IDC_SORT_PUBLIC, !mine);
    SetFocusTo(IDC_NEXT);
    return false;
}

void SortSettingsScreen::StartSorter() {
    const SorterLocation sorter = LocateSorter(AppSettings::ReadInstallDirectory());
    if (sorter.unknownDirectory)
        MessageBoxA(Hwnd(), "bad", nullptr, MB_OK);
    WriteLog(LOG_TRACE, "Starting TOVSORT... <%s>", sorter.path.c_str());
    // it may run already: a second copy finds the first and ends
    setup::OpenTarget(sorter.path, setup::SystemShell());
}

void SortSettingsScreen::Save() {
    const bool on = Checked(Hwnd(), IDC_SORT_ON);
    AppSettings::WriteSortFlags(on, Checked(Hwnd(), IDC_SORT_PRIVATE));
    // switching off stops nothing: the sorter reads the value itself
    if (on)
        StartSorter();
    EndDialog(setup::RESULT_BACK);
}

void SortSettingsScreen::OnEnter(int focusedId) {
    if (SettingsEnterButton(focusedId == IDC_BACK) == SettingsButton::Back)
        EndDialog(setup::RESULT_BACK);
    else
        Save();
}

bool SortSettingsScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_BACK:
        EndDialog(setup::RESULT_BACK);
        return true;
    case IDC_NEXT:
        Save();
        return true;
    case IDC_HELP_BUTTON:
    case IDC_HELP_LINK:
        setup::OpenTarget(app::InstallDirectory() + skin::LoadString(STR_HELP_FILE),
                          setup::SystemShell());
        return true;
    default:
        return false;
    }
}

FirstDragNotice::FirstDragNotice() : Screen(IDD_FIRST_DRAG) {}

bool FirstDragNotice::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_FIRST_DRAG);
    SetText(*this, IDC_SORT_ENABLE, STR_ENABLE);
    ApplyJapaneseFont({IDC_SORT_ENABLE});
    Check(Hwnd(), IDC_SORT_ENABLE, AppSettings::ReadFlag("EnableSort"));
    // the sorter starts the notice only until it has been shown once
    AppSettings::WriteString("FirstDrag", "FALSE");
    SetFocusTo(IDC_NEXT);
    return false;
}

void FirstDragNotice::Acknowledge() {
    AppSettings::WriteDword("EnableSort", Checked(Hwnd(), IDC_SORT_ENABLE) ? 1 : 0);
    EndDialog(setup::RESULT_FINISHED);
}

void FirstDragNotice::OnEnter(int) { Acknowledge(); }

bool FirstDragNotice::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED || id != IDC_NEXT)
        return false;
    Acknowledge();
    return true;
}

} // namespace dragsort
