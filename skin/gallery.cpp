// The gallery's table, generated from the same description as the dialog templates.
#include "skin/gallery.h"

#include "res/resource.h"
#include "skin/look.h"

namespace skin {
namespace {
#include "res/gen/gallery_layout.inc"
} // namespace

const GalleryScreen* GalleryScreens(int* count) {
    *count = static_cast<int>(sizeof kGalleryScreens / sizeof kGalleryScreens[0]);
    return kGalleryScreens;
}

const GalleryScreen* FindGalleryScreen(int dialogId) {
    int n = 0;
    const GalleryScreen* all = GalleryScreens(&n);
    for (int i = 0; i < n; ++i) {
        if (all[i].dialogId == dialogId) {
            return &all[i];
        }
    }
    return nullptr;
}

} // namespace skin
