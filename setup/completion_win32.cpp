// The completion screen's texts and buttons over the portable completion rules.
#include "setup/completion_win32.h"

#include "res/resource.h"
#include "setup/completion.h"
#include "setup/message_table.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace setup {

CompletionScreen::CompletionScreen(const std::string& applianceName, const std::string& accountName,
                                   int setupFunction)
    : Screen(IDD_SETUP_COMPLETE), applianceName(applianceName), accountName(accountName),
      setupFunction(setupFunction) {}

bool CompletionScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_SETUP_COMPLETE);
    skin::SetLabelText(*this, IDC_TITLE, skin::LoadString(STR_SETUP_TITLE));
    skin::SetLabelText(*this, IDC_DEVICE, applianceName);
    skin::SetLabelText(*this, IDC_HEADING, skin::LoadString(STR_SETUP_COMPLETE));
    skin::SetLabelText(*this, IDC_COMPLETE_FOLDER,
                       DeviceHeading(skin::LoadString(STR_FOLDER_CREATED), accountName));
    skin::SetLabelText(*this, IDC_COMPLETE_SHORTCUT, skin::LoadString(STR_SHORTCUT_PLACED));
    skin::SetLabelText(*this, IDC_BACK_LABEL, skin::LoadString(STR_MAIN_MENU));
    skin::SetLabelText(*this, IDC_NEXT_LABEL, skin::LoadString(STR_OPEN));
    if (OpensAtOnce(setupFunction))
        Press(IDC_NEXT);
    SetWindowPos(Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocusTo(IDC_NEXT);
    return false;
}

void CompletionScreen::Press(int buttonId) {
    CompletionButton button = CompletionButton::None;
    if (buttonId == IDC_BACK)
        button = CompletionButton::MainMenu;
    else if (buttonId == IDC_NEXT)
        button = CompletionButton::Open;
    const CompletionOutcome outcome =
        PressCompletionButton(button, setupFunction, applianceName, accountName, SystemShell());
    if (outcome.ends)
        EndDialog(outcome.result);
}

void CompletionScreen::OnEnter(int focusedId) { Press(focusedId); }

bool CompletionScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED || (id != IDC_BACK && id != IDC_NEXT))
        return false;
    Press(id);
    return true;
}

} // namespace setup
