// The UI driver's tree-view actions: list a tree's items with their texts and check states,
// open an item, click it, toggle its check box, from another process as the user does.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace uidriver {

struct TreeItem {
    HTREEITEM handle = nullptr;
    int depth = 0;
    std::string text;
    // The state image: 0 none, 1 unchecked, 2 checked, 3 partly selected.
    int state = 0;
    bool expanded = false;
};

// Every item of tree control id, depth first, collapsed ones' children too. The texts are read
// through a buffer in the tree's process (TVM_GETITEM carries a pointer, which Windows does not
// carry between processes).
bool ListTreeItems(HWND dialog, int id, std::vector<TreeItem>* out);

// A path of item texts from the top level down, joined by "|" ("C:\|Data|Mail").
std::vector<std::string> SplitTreePath(const std::string& joined);
// The item at that path, or null.
HTREEITEM FindTreeItem(HWND dialog, int id, const std::vector<std::string>& path);

// With the real mouse, on the item scrolled into view: a click on its text; a click on its
// button (+/-), which opens or closes it; a click on its check box, which returns once the
// item's check state has changed (false when it did not within timeoutMs).
bool ClickTreeItem(HWND dialog, int id, const std::vector<std::string>& path);
bool ExpandTreeItem(HWND dialog, int id, const std::vector<std::string>& path);
bool ToggleTreeCheck(HWND dialog, int id, const std::vector<std::string>& path,
                     DWORD timeoutMs = 5000);

} // namespace uidriver
