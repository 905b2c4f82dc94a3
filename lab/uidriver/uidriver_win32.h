// The UI driver: finds the program's current screen and acts on it as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

struct Screen {
    HWND hwnd = nullptr;
    int dialogId = 0;
};

struct Control {
    int id;
    std::string cls;
    std::string text;
    bool visible;
    bool enabled;
    bool checked;
};

// The visible screen of a process (pid 0: any process) that carries a dialog id. Waits up to
// timeoutMs for one that is not `other` (the screen seen before, or null).
bool WaitForScreen(DWORD pid, DWORD timeoutMs, Screen* out, HWND other = nullptr);
// Waits until the window no longer exists.
bool WaitGone(HWND window, DWORD timeoutMs);

std::vector<Control> ListControls(HWND dialog);
std::string ControlText(HWND dialog, int id);

// A click on a button as the user makes it (BM_CLICK, posted so that a screen that opens another
// modal screen does not block the driver).
bool Click(HWND dialog, int id);
// Enter, Esc, Tab, Shift+Tab, Up, Down, Left, Right, Alt+F4 (names in any letter case), sent to
// the control that has the focus.
bool SendKey(HWND dialog, const std::string& key);
// Selects entry index of a list box or drop-down list and tells the screen, as a click would.
bool SelectEntry(HWND dialog, int id, int index);
// Types text into an edit field as the user does: the field gets the focus, what it held is
// selected and erased, and each character arrives as WM_CHAR, so the field keeps its length limit
// and tells the screen of every change (EN_CHANGE). False for a hidden or disabled field.
bool Type(HWND dialog, int id, const std::string& text);
// Sets a check box or radio button by clicking it when its state differs.
bool SetCheck(HWND dialog, int id, bool on);
// Drags the window by the point (x, y) of its face by (dx, dy) pixels, with the real mouse.
bool Drag(HWND dialog, int x, int y, int dx, int dy, DWORD timeoutMs = 5000);

RECT WindowRect(HWND window);
// Whether the window has a region, and whether a point of the window lies in it.
bool HasRegion(HWND window);
bool RegionContains(HWND window, int x, int y);

} // namespace uidriver
