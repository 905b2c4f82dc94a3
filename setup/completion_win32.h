// The set-up completion screen: the new share's folder, and the way on to the Main menu.
#pragma once

#include <string>

#include "skin/screen_win32.h"

namespace setup {

class CompletionScreen : public skin::Screen {
public:
    CompletionScreen(const std::string& applianceName, const std::string& accountName,
                     int setupFunction);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Press(int buttonId);

    std::string applianceName;
    std::string accountName;
    int setupFunction;
};

} // namespace setup
