// The Main menu and the Drive management screen: one appliance's ways into the program.
#pragma once

#include <string>

#include "skin/screen_win32.h"

namespace setup {

// Ends with 110 (set-up), 111 (backup and restore), 112 (drive management), 101 (Locate) or 100.
class MainMenuScreen : public skin::Screen {
public:
    MainMenuScreen(const std::string& hostName, const std::string& ipAddress);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Choose(int buttonId);

    std::string hostName;
    std::string ipAddress;
};

// Ends with 140 (Drag and Sort), 132 (status), 101 (Back) or 100; its two web items open the
// appliance's pages and leave the screen open.
class DriveManagementScreen : public skin::Screen {
public:
    DriveManagementScreen(const std::string& hostName, const std::string& ipAddress);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool PreTranslateMessage(MSG& msg) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void Choose(int buttonId);
    void MoveFocus(bool previous);

    std::string hostName;
    std::string ipAddress;
    // Shift as this screen saw it go down and up: a posted Tab carries no keyboard state.
    bool shiftHeld = false;
};

} // namespace setup
