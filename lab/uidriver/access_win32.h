// What a screen reader and a keyboard user find on a screen: every control's name, and the
// controls that Tab reaches.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

struct NamedControl {
    HWND hwnd;
    int id;
    std::string cls;
    // As a reader says it: the control's own text, or, for a control that shows none (edit
    // field, list, tree, time picker), the text of the label just before it in the tab order.
    std::string name;
    bool visible;
    bool enabled;
    bool tabStop;
    // A control the user acts on (not a label, picture or progress bar): it must have a name
    // and be reachable with Tab.
    bool interactive;
    // The first control of its group of radio buttons (itself when it is none).
    HWND group;
};

std::vector<NamedControl> ListNames(HWND dialog);

// The control of the dialog that has the keyboard focus, or null.
HWND FocusedControl(HWND dialog);

// Presses Tab as the user does (the key goes through the screen's own key handling) and waits
// until the focus has left `from`; the control that has it then, or null when it did not move.
HWND PressTab(HWND dialog, HWND from, DWORD timeoutMs);

// Presses Tab from the current focus until the focus is back where it began (at most `limit`
// presses): the controls it visited, the first one last. Empty when no control has the focus.
std::vector<HWND> TabCycle(HWND dialog, int limit, DWORD timeoutMs);

// The interactive, shown and enabled controls of a dialog that have no name, and those that a
// Tab cycle from the current focus does not reach (a group of radio buttons is reached when one
// of them is, the arrows move within it). One line each: "ID CLASS: no name" or "... not
// reached by Tab".
std::vector<std::string> AccessProblems(HWND dialog, DWORD timeoutMs);

} // namespace uidriver
