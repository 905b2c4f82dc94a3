// Where every screen places its controls, with what look and string: the table generated from
// the same description as the dialog templates.
#pragma once

#include <cstdint>

namespace skin {

struct ControlLayout {
    int id;
    char kind; // L label, K link, B button, R radio, C check, E edit, P password, S list,
               // O drop-down list, G progress, T tree, D time picker, I icon, M bitmap, V scroll
    int x, y, w, h;
    int stringId; // text from the string table, or 0
    std::uint32_t colour;
    bool bold;
    int size;
    bool underline;
    int up, down, focused, disabled; // button images; for I and M the image id
    int labelId;                     // the label drawn over a button
    int align;                       // 0 left, 1 centre, 2 right
};

struct ScreenLayout {
    int dialogId;
    int bitmapId;
    const ControlLayout* controls;
    int count;
    int focusId; // the control focused when the screen opens, or 0 for the system's choice
};

// Every screen of the program, in dialog id order.
const ScreenLayout* ScreenLayouts(int* count);
const ScreenLayout* FindScreenLayout(int dialogId);

} // namespace skin
