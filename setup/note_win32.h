// The no-password note: shown after an appliance is chosen when the appliance has no password.
#pragma once

#include <string>

#include "skin/screen_win32.h"

namespace setup {

class NoteScreen : public skin::Screen {
public:
    NoteScreen(const std::string& hostName, const std::string& ipAddress);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Manage();

    std::string hostName;
    std::string ipAddress;
};

} // namespace setup
