// The rules of the skinned screens that need no window: colours, label fonts, common keys, drag.
#pragma once

#include <cstdint>
#include <string>

namespace skin {

// Colours as Windows colour values (0x00BBGGRR).
constexpr std::uint32_t kTitleBlue = 0x90331A; // RGB(26, 51, 144)
constexpr std::uint32_t kBodyGrey = 0x333333;  // RGB(51, 51, 51)
constexpr std::uint32_t kPanelGrey = 0xE6E6E6; // RGB(230, 230, 230)
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kWarningRed = 0x0000CC; // RGB(204, 0, 0)
constexpr std::uint32_t kTransparentBack = 1;   // a label background of 1 is no background

// The font a label draws with.
struct LabelFont {
    std::string face;
    int height;
    int weight;
    bool underline;
};

// "Verdana" at the label's size, or "MS UI Gothic" two units smaller under "Japanese".
LabelFont ChooseLabelFont(int size, bool bold, bool underline, const std::string& language);

// The interface language the screens draw for: "English" until start-up hands over the trimmed
// "Language" value (which may be empty).
const std::string& InterfaceLanguage();
void SetInterfaceLanguage(const std::string& name);

// True when the interface language asks for the Japanese fonts.
bool IsJapanese(const std::string& language);

// What a screen does with a key before normal dialog processing.
enum class KeyAction {
    Pass,   // normal dialog processing
    Ignore, // swallowed
    Enter,  // the screen's Enter rule, then swallowed
    Close,  // the screen ends with 100
};

// Key-down messages only: keyDown is WM_KEYDOWN, sysKeyDown WM_SYSKEYDOWN.
KeyAction ClassifyKey(bool sysKeyDown, unsigned virtualKey, bool altHeld);

// Result with which the X button and Alt+F4 end every screen.
constexpr int kResultClose = 100;

// Follows the cursor while the window face is dragged.
class DragTracker {
public:
    struct Move {
        int left, top;
        bool resize; // also size the window to the bitmap
        int width, height;
    };

    // Button down: the window's screen rectangle and the cursor in window coordinates.
    void Begin(int windowLeft, int windowTop, int cursorX, int cursorY);
    // Mouse move while dragging, cursor in window coordinates; dpi is the display's horizontal
    // resolution. Returns where the window goes.
    Move Step(int cursorX, int cursorY, int dpi, int bitmapWidth, int bitmapHeight);
    void End() { dragging_ = false; }
    bool Dragging() const { return dragging_; }

private:
    bool dragging_ = false;
    int anchorX_ = 0, anchorY_ = 0;
    int left_ = 0, top_ = 0;
};

} // namespace skin
