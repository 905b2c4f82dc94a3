// The restore-type page (587): a chosen version of single files, or the backup folder opened in
// the shell's file browser.
#pragma once

#include <string>

#include "skin/screen_win32.h"

namespace backup {

// Ends with 102 (the restore page follows), 103 (the backup folder was opened), 101 or 100.
class RestoreTypeScreen : public skin::Screen {
public:
    // sortFolder: the share root, \\server\share.
    explicit RestoreTypeScreen(const std::string& sortFolder);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void ShowNextLabel();
    void Next();

    std::string shareRoot;
};

} // namespace backup
