// The behaviour every screen shares: the X and _ buttons, Esc, Alt+F4 and Enter.
#pragma once

#include "skin/skin_dialog_win32.h"

namespace skin {

class Screen : public SkinDialog {
public:
    explicit Screen(UINT templateId, HWND parent = nullptr) : SkinDialog(templateId, parent) {}

    // InitSkin, then the title-bar buttons in the top right corner of the face.
    BOOL InitSkin(UINT bitmapId) override;

protected:
    // Enter: the screen's default or focused button. focusedId is 0 when no control has it. Enter
    // on the focused X or _ presses it and does not come here.
    virtual void OnEnter(int /*focusedId*/) {}
    // X and Alt+F4; ends with 100 unless a screen says otherwise.
    virtual void OnClose() { EndDialog(kResultClose); }

    // The title-bar buttons never take the first focus: Enter would act on them.
    bool TakesFirstFocus(int id) const override;
    bool PreTranslateMessage(MSG& msg) override;
    bool OnCommand(int id, int code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Sends BN_CLICKED for a button as if it had been pressed.
    void Press(int id);
};

} // namespace skin
