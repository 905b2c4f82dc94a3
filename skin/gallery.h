// The gallery's sample layout of every screen: where each control goes, with what text and look.
#pragma once

#include <cstdint>

namespace skin {

struct GalleryControl {
    int id;
    char kind; // L label, K link, B button, R radio, C check, E edit, P password, S list,
               // O drop-down list, G progress, T tree, D time picker, I icon, M bitmap, V scroll
    int x, y, w, h;
    int stringId;       // text from the string table, or 0
    const char* sample; // sample text, or items joined by '|'
    std::uint32_t colour;
    bool bold;
    int size;
    bool underline;
    int up, down, focused, disabled; // button images; for I and M the image id
    int labelId;                     // the label drawn over a button
    bool shown;
    bool disabledState;
    int align; // 0 left, 1 centre, 2 right
};

struct GalleryScreen {
    int dialogId;
    int bitmapId;
    const GalleryControl* controls;
    int count;
};

// Every screen of the program, in dialog id order.
const GalleryScreen* GalleryScreens(int* count);
const GalleryScreen* FindGalleryScreen(int dialogId);

} // namespace skin
