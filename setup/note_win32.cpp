// The note's controls, its "frst" and "host" exchange on opening, and its two buttons.
#include "setup/note_win32.h"

#include "app/globals.h"
#include "protocol/channel.h"
#include "res/resource.h"
#include "setup/launch.h"
#include "setup/message_dialog_win32.h"
#include "setup/message_table.h"
#include "setup/note_logic.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace setup {

NoteScreen::NoteScreen(const std::string& hostName, const std::string& ipAddress)
    : Screen(IDD_NOTE), hostName(hostName), ipAddress(ipAddress) {}

bool NoteScreen::OnInitDialog() {
    InitSkin(IDB_BG_NOTE);
    skin::PlaceControls(*this, IDD_NOTE);
    skin::SetLabelText(*this, IDC_HEADING,
                       DeviceHeading(skin::LoadString(STR_DEVICE_HEADING), hostName));
    skin::SetLabelText(*this, IDC_MESSAGE_TEXT, skin::LoadString(STR_NOTE_TEXT));
    skin::SetLabelText(*this, IDC_MANAGE_LABEL, skin::LoadString(STR_MANAGE));
    skin::SetLabelText(*this, IDC_NEXT_LABEL, skin::LoadString(STR_NEXT));

    CommandChannel channel;
    channel.SetTarget(ipAddress);
    CommandNoteChannel commands(channel);
    const NoteOpening opening = OpenNote(commands, hostName, ipAddress, app::LanguageName());
    switch (opening.action) {
    case NoteAction::Skip:
        // ended before it is shown: the window never appears
        EndDialog(RESULT_NEXT);
        break;
    case NoteAction::ShowMessage:
        ShowMessageDialog(opening.device, opening.code, Hwnd());
        EndDialog(RESULT_BACK);
        break;
    case NoteAction::Show:
        break;
    }
    SetFocusTo(IDC_NEXT);
    return false;
}

void NoteScreen::Manage() { LaunchTarget(ManageAddress(ipAddress)); }

void NoteScreen::OnEnter(int focusedId) {
    if (NoteEnterButton(focusedId == IDC_MANAGE) == NoteButton::Manage)
        Manage();
    else
        EndDialog(RESULT_NEXT);
}

bool NoteScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    if (id == IDC_MANAGE) {
        Manage();
        return true;
    }
    if (id == IDC_NEXT) {
        EndDialog(RESULT_NEXT);
        return true;
    }
    return false;
}

} // namespace setup
