// The screens' layout table, generated from the same description as the dialog templates.
#include "skin/screen_layout.h"

#include "res/resource.h"
#include "skin/look.h"

namespace skin {
namespace {
#include "res/gen/screen_layout.inc"
} // namespace

const ScreenLayout* ScreenLayouts(int* count) {
    *count = static_cast<int>(sizeof kScreenLayouts / sizeof kScreenLayouts[0]);
    return kScreenLayouts;
}

const ScreenLayout* FindScreenLayout(int dialogId) {
    int n = 0;
    const ScreenLayout* all = ScreenLayouts(&n);
    for (int i = 0; i < n; ++i) {
        if (all[i].dialogId == dialogId)
            return &all[i];
    }
    return nullptr;
}

} // namespace skin
