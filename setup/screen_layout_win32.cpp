// The screens' controls placed from the template description that the gallery shares.
#include "setup/screen_layout_win32.h"

#include "skin/gallery.h"
#include "skin/look.h"
#include "skin/resources_win32.h"

namespace setup {

void PlaceControls(skin::SkinDialog& dialog, int dialogId) {
    const skin::GalleryScreen* layout = skin::FindGalleryScreen(dialogId);
    if (!layout)
        return;
    for (int i = 0; i < layout->count; ++i) {
        const skin::GalleryControl& c = layout->controls[i];
        HWND item = dialog.Item(c.id);
        if (!item)
            continue;
        switch (c.kind) {
        case 'L':
        case 'K': {
            skin::SkinLabel& label = c.kind == 'K' ? dialog.AddLink(c.id) : dialog.AddLabel(c.id);
            label.SetColours(c.colour, skin::kTransparentBack);
            label.SetBold(c.bold);
            label.SetSize(c.size);
            if (c.underline)
                label.SetUnderline();
            dialog.MoveItem(c.id, c.x, c.y, c.w, c.h);
            // the sample texts are the gallery's; a screen without a string sets its own
            label.SetText(c.stringId ? skin::LoadString(static_cast<UINT>(c.stringId)) : "");
            break;
        }
        case 'B':
            dialog.AddButton(c.id,
                             {static_cast<UINT>(c.up), static_cast<UINT>(c.down),
                              static_cast<UINT>(c.focused), static_cast<UINT>(c.disabled)},
                             c.labelId);
            dialog.MoveItem(c.id, c.x, c.y);
            break;
        default:
            dialog.MoveItem(c.id, c.x, c.y, c.w, c.h);
            break;
        }
    }
}

void SetLabelText(skin::SkinDialog& dialog, int id, const std::string& text) {
    if (skin::SkinLabel* label = dialog.FindLabel(id)) {
        label->SetText(text);
        // a shown screen paints the new text over its face at once
        if (IsWindowVisible(dialog.Hwnd()))
            label->RefreshFace();
    } else {
        dialog.SetItemText(id, text);
    }
}

} // namespace setup
