// What the name and password screen shows for a function, put on a dialog of template 593 (the
// screen and the gallery).
#pragma once

#include "setup/account_rules.h"
#include "skin/skin_dialog_win32.h"

namespace setup {

void ShowNameScreenView(skin::SkinDialog& dialog, const NameScreenView& view);

} // namespace setup
