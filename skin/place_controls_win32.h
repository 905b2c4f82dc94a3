// Puts a screen's labels, buttons and lists at their places and in their looks, as the screens'
// layout table gives them.
#pragma once

#include "skin/skin_dialog_win32.h"

namespace skin {

// Attaches a label to every static of the template and a bitmap button to every button, moved to
// their pixel places with their colours, weights and sizes; labels get their string-table text
// (none for controls without one); lists, progress bars and the like are only moved. Whether a
// control starts hidden or disabled is the template's. Bitmap buttons are named after their labels
// (for screen readers); the screen's default focus is the table's when its start-up leaves the
// choice to the system. After InitSkin.
void PlaceControls(SkinDialog& dialog, int dialogId);

// Sets the text of a label placed by PlaceControls (or of the plain control when it has none).
void SetLabelText(SkinDialog& dialog, int id, const std::string& text);

} // namespace skin
