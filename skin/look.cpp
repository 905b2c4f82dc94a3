// Label fonts, common keys and the drag rule of the skinned screens.
#include "skin/look.h"

namespace skin {

namespace {
std::string& LanguageSlot() {
    static std::string language = "English";
    return language;
}
} // namespace

const std::string& InterfaceLanguage() { return LanguageSlot(); }

void SetInterfaceLanguage(const std::string& name) { LanguageSlot() = name; }

namespace {
constexpr unsigned kVkReturn = 0x0D;
constexpr unsigned kVkEscape = 0x1B;
constexpr unsigned kVkF4 = 0x73;
} // namespace

bool IsJapanese(const std::string& language) { return language == "Japanese"; }

LabelFont ChooseLabelFont(int size, bool bold, bool underline, const std::string& language) {
    LabelFont f;
    if (IsJapanese(language)) {
        f.face = "MS UI Gothic";
        f.height = size - 2;
    } else {
        f.face = "Verdana";
        f.height = size;
    }
    f.weight = bold ? 700 : 400;
    f.underline = underline;
    return f;
}

KeyAction ClassifyKey(bool sysKeyDown, unsigned virtualKey, bool altHeld) {
    if (sysKeyDown) {
        return virtualKey == kVkF4 && altHeld ? KeyAction::Close : KeyAction::Pass;
    }
    switch (virtualKey) {
    case kVkEscape:
        return KeyAction::Ignore;
    case kVkReturn:
        return KeyAction::Enter;
    default:
        return KeyAction::Pass;
    }
}

void DragTracker::Begin(int windowLeft, int windowTop, int cursorX, int cursorY) {
    dragging_ = true;
    left_ = windowLeft;
    top_ = windowTop;
    anchorX_ = windowLeft + cursorX;
    anchorY_ = windowTop + cursorY;
}

DragTracker::Move DragTracker::Step(int cursorX, int cursorY, int dpi, int bitmapWidth,
                                    int bitmapHeight) {
    // the cursor is given relative to the window, which moves with every step
    const int dx = left_ - anchorX_ + cursorX;
    const int dy = top_ - anchorY_ + cursorY;
    Move m{left_ + dx, top_ + dy, dpi != 96, bitmapWidth, bitmapHeight};
    anchorX_ += dx;
    anchorY_ += dy;
    left_ += dx;
    top_ += dy;
    return m;
}

} // namespace skin
