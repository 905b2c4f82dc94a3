// The message dialog's controls over the code table's prepared texts and button outcomes.
#include "setup/message_dialog_win32.h"

#include "res/resource.h"
#include "setup/launch.h"
#include "setup/message_texts_win32.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace setup {

MessageDialog::MessageDialog(HWND parent) : Screen(IDD_MESSAGE, parent) {}

void MessageDialog::SetDevice(const std::string& name) {
    heading = DeviceHeading(skin::LoadString(STR_DEVICE_HEADING), name);
}

void MessageDialog::SetCode(uint32_t newCode) { code = newCode; }

bool MessageDialog::OnInitDialog() {
    InitSkin(IDB_BG_MESSAGE);
    skin::PlaceControls(*this, IDD_MESSAGE);
    WindowsMessageTexts texts;
    const PreparedMessage shown = PrepareMessage(code, heading, texts);
    question = shown.question;
    skin::SetLabelText(*this, IDC_HEADING, shown.heading);
    skin::SetLabelText(*this, IDC_MESSAGE_TEXT, shown.message);
    skin::SetLabelText(*this, IDC_CODE_LINE, shown.codeLine);
    ShowItem(IDC_CODE_LINE, shown.codeLineShown);
    skin::SetLabelText(*this, IDC_LEFT_LABEL, shown.leftLabel);
    skin::SetLabelText(*this, IDC_RIGHT_LABEL, shown.rightLabel);
    ShowItem(IDC_LEFT_BUTTON, shown.leftShown);
    ShowItem(IDC_LEFT_LABEL, shown.leftShown);
    SetFocusTo(IDC_RIGHT_BUTTON);
    return false;
}

void MessageDialog::Press(MessageButton button) {
    const ButtonOutcome outcome = PressMessageButton(question, button);
    if (outcome.openSupport)
        LaunchTarget(SUPPORT_PAGE_ADDRESS);
    if (outcome.ends)
        EndDialog(outcome.result);
}

void MessageDialog::OnEnter(int focusedId) {
    const bool leftUsable = IsWindowVisible(Item(IDC_LEFT_BUTTON)) != FALSE;
    Press(EnterButton(leftUsable && focusedId == IDC_LEFT_BUTTON));
}

bool MessageDialog::OnCommand(int id, int notification, HWND control) {
    if (Screen::OnCommand(id, notification, control))
        return true;
    if (notification != BN_CLICKED)
        return false;
    if (id == IDC_LEFT_BUTTON) {
        // a notice has no left button, whatever reaches its hidden control
        if (IsWindowVisible(Item(IDC_LEFT_BUTTON)))
            Press(MessageButton::Left);
        return true;
    }
    if (id == IDC_RIGHT_BUTTON) {
        Press(MessageButton::Right);
        return true;
    }
    return false;
}

int ShowMessageDialog(const std::string& device, uint32_t code, HWND parent) {
    MessageDialog dialog(parent);
    if (!device.empty())
        dialog.SetDevice(device);
    dialog.SetCode(code);
    return dialog.DoModal();
}

} // namespace setup
