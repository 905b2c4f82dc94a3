// MessageDialog: the program's own message screen for a failure, question or notice code.
#pragma once

#include <cstdint>
#include <string>

#include "setup/message_table.h"
#include "skin/screen_win32.h"

namespace setup {

class MessageDialog : public skin::Screen {
public:
    explicit MessageDialog(HWND parent = nullptr);

    // The heading: string 9 with the device name; codes with a heading of their own replace it.
    void SetDevice(const std::string& name);
    void SetCode(uint32_t code);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Press(MessageButton button);

    std::string heading;
    uint32_t code = 0;
    bool question = false;
};

// Shows the dialog for a device (none when empty) and a code; its result.
int ShowMessageDialog(const std::string& device, uint32_t code, HWND parent = nullptr);

} // namespace setup
