// The name and password screen's controls for a function: instruction, button, fields, help link.
#include "setup/name_view_win32.h"

#include "res/resource.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace setup {

void ShowNameScreenView(skin::SkinDialog& dialog, const NameScreenView& view) {
    skin::SetLabelText(dialog, IDC_INSTRUCTION,
                       skin::LoadString(static_cast<UINT>(view.instructionId)));
    skin::SetLabelText(dialog, IDC_NEXT_LABEL,
                       skin::LoadString(static_cast<UINT>(view.forwardLabelId)));
    dialog.ShowItem(IDC_ACCOUNT_LIST, view.listShown);
    dialog.ShowItem(IDC_NAME, view.nameShown);
    dialog.ShowItem(IDC_PASSWORD_CAPTION, view.passwordShown);
    dialog.ShowItem(IDC_PASSWORD, view.passwordShown);
    dialog.ShowItem(IDC_RETYPE_CAPTION, view.retypeShown);
    dialog.ShowItem(IDC_RETYPE, view.retypeShown);
    dialog.ShowItem(IDC_HELP_LINK, view.helpShown);
    dialog.ShowItem(IDC_HELP_BUTTON, view.helpShown);
    if (view.helpShown)
        skin::SetLabelText(dialog, IDC_HELP_LINK,
                           skin::LoadString(static_cast<UINT>(view.helpTextId)));
    if (view.listShown) {
        // the list takes the name row and the one below it: the password goes under the list
        dialog.MoveItem(IDC_PASSWORD_CAPTION, 130, 231);
        dialog.MoveItem(IDC_PASSWORD, 290, 228);
    }
    if (view.helpBesideName) {
        // right of the name field, where the password rows would begin otherwise; two lines, as
        // German and French need
        dialog.MoveItem(IDC_HELP_LINK, 500, 162, 140, 32);
        dialog.MoveItem(IDC_HELP_BUTTON, 500, 158, 140, 36);
    }
}

} // namespace setup
