// The screens' controls placed from their layout table.
#include "skin/place_controls_win32.h"

#include "skin/look.h"
#include "skin/resources_win32.h"
#include "skin/screen_layout.h"

namespace skin {

void PlaceControls(SkinDialog& dialog, int dialogId) {
    const ScreenLayout* layout = FindScreenLayout(dialogId);
    if (!layout)
        return;
    dialog.SetInitialFocus(layout->focusId);
    for (int i = 0; i < layout->count; ++i) {
        const ControlLayout& c = layout->controls[i];
        HWND item = dialog.Item(c.id);
        if (!item)
            continue;
        switch (c.kind) {
        case 'L':
        case 'K': {
            SkinLabel& label = c.kind == 'K' ? dialog.AddLink(c.id) : dialog.AddLabel(c.id);
            label.SetColours(c.colour, kTransparentBack);
            label.SetBold(c.bold);
            label.SetSize(c.size);
            if (c.underline)
                label.SetUnderline();
            dialog.MoveItem(c.id, c.x, c.y, c.w, c.h);
            // a label without a string gets its text from its screen
            label.SetText(c.stringId ? LoadString(static_cast<UINT>(c.stringId)) : "");
            break;
        }
        case 'B':
            dialog.AddButton(c.id,
                             {static_cast<UINT>(c.up), static_cast<UINT>(c.down),
                              static_cast<UINT>(c.focused), static_cast<UINT>(c.disabled)},
                             c.labelId);
            dialog.MoveItem(c.id, c.x, c.y);
            break;
        case 'R':
        case 'C':
            dialog.MoveItem(c.id, c.x, c.y, c.w, c.h);
            // an option draws its own text
            if (c.stringId)
                dialog.SetItemText(c.id, LoadString(static_cast<UINT>(c.stringId)));
            break;
        default:
            dialog.MoveItem(c.id, c.x, c.y, c.w, c.h);
            break;
        }
    }
}

void SetLabelText(SkinDialog& dialog, int id, const std::string& text) {
    if (SkinLabel* label = dialog.FindLabel(id)) {
        // a shown label paints the new text over the face at once
        label->SetText(text);
    } else {
        dialog.SetItemText(id, text);
    }
}

} // namespace skin
