// The Drag and Sort settings screen and the first-drag notice.
#pragma once

#include "skin/screen_win32.h"

namespace dragsort {

// "EnableSort" and "SortMyFolder" with Save, which starts the sorter while sorting is on.
// Ends with 101 (Back or Save) or 100.
class SortSettingsScreen : public skin::Screen {
public:
    SortSettingsScreen();

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Save();
    void StartSorter();
};

// The only screen of a "-firstDrag" start: says what happened and lets the user switch sorting
// off. Ends with 103 (OK) or 100.
class FirstDragNotice : public skin::Screen {
public:
    FirstDragNotice();

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Acknowledge();
};

} // namespace dragsort
