// The UI driver's tree-view actions: list a tree's items with their texts and check states,
// open an item, click it, toggle its check box, from another process as the user does.
#include "lab/uidriver/tree_driver_win32.h"

#include <cstring>

namespace uidriver {
namespace {

constexpr DWORD kSendWait = 2000;

// A block of memory in the tree's own process: the messages that carry pointers are handed a
// pointer there, written and read with WriteProcessMemory and ReadProcessMemory. Works within
// one process too.
class RemoteBlock {
public:
    explicit RemoteBlock(HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            base_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (base_)
            VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Ok() const { return base_ != nullptr; }
    char* At(size_t offset) const { return base_ + offset; }
    bool Put(size_t offset, const void* data, size_t n) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, base_ + offset, data, n, &done) && done == n;
    }
    bool Get(size_t offset, void* data, size_t n) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, base_ + offset, data, n, &done) && done == n;
    }

    static constexpr size_t kSize = 4096;
    static constexpr size_t kText = 1024; // where texts go; structures sit before it

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
};

LRESULT Send(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(w, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendWait, &r))
        return 0;
    return static_cast<LRESULT>(r);
}

HTREEITEM Next(HWND tree, UINT how, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(
        Send(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
}

std::string ItemText(HWND tree, const RemoteBlock& block, HTREEITEM item) {
    TVITEMA tvi{};
    tvi.mask = TVIF_TEXT | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.pszText = block.At(RemoteBlock::kText);
    tvi.cchTextMax = static_cast<int>(RemoteBlock::kSize - RemoteBlock::kText);
    const char zero = 0;
    if (!block.Put(0, &tvi, sizeof tvi) || !block.Put(RemoteBlock::kText, &zero, 1) ||
        !Send(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At(0))))
        return std::string();
    char text[RemoteBlock::kSize - RemoteBlock::kText] = {};
    block.Get(RemoteBlock::kText, text, sizeof text - 1);
    return text;
}

void Walk(HWND tree, const RemoteBlock& block, HTREEITEM first, int depth,
          std::vector<TreeItem>* out) {
    for (HTREEITEM item = first; item; item = Next(tree, TVGN_NEXT, item)) {
        TreeItem t;
        t.handle = item;
        t.depth = depth;
        t.text = ItemText(tree, block, item);
        // the state needs no pointer: TVM_GETITEMSTATE answers in its result
        const UINT bits =
            static_cast<UINT>(Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                   TVIS_STATEIMAGEMASK | TVIS_EXPANDED));
        t.state = static_cast<int>((bits & TVIS_STATEIMAGEMASK) >> 12);
        t.expanded = (bits & TVIS_EXPANDED) != 0;
        out->push_back(t);
        Walk(tree, block, Next(tree, TVGN_CHILD, item), depth + 1, out);
    }
}

HWND TreeOf(HWND dialog, int id) {
    HWND tree = GetDlgItem(dialog, id);
    char cls[32] = {};
    if (!tree || !GetClassNameA(tree, cls, sizeof cls) || lstrcmpiA(cls, WC_TREEVIEWA) != 0)
        return nullptr;
    return tree;
}

// The item's text rectangle in the tree's client area.
bool TextRect(HWND tree, const RemoteBlock& block, HTREEITEM item, RECT* out) {
    // the rectangle's first bytes carry the item on the way in
    if (!block.Put(0, &item, sizeof item) ||
        !Send(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.At(0))))
        return false;
    return block.Get(0, out, sizeof *out);
}

UINT HitFlags(HWND tree, const RemoteBlock& block, int x, int y, HTREEITEM* item) {
    TVHITTESTINFO hit{};
    hit.pt.x = x;
    hit.pt.y = y;
    if (!block.Put(0, &hit, sizeof hit))
        return 0;
    Send(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(block.At(0)));
    if (!block.Get(0, &hit, sizeof hit))
        return 0;
    *item = hit.hItem;
    return hit.flags;
}

// The middle of the part of the item's row that the tree's hit test calls `part` (searched to the
// left of the text for the state icon and the button; the text itself for the label).
bool PartPoint(HWND tree, HTREEITEM item, UINT part, POINT* out) {
    RemoteBlock block(tree);
    RECT text;
    if (!block.Ok() || !TextRect(tree, block, item, &text))
        return false;
    const int y = (text.top + text.bottom) / 2;
    if (part == TVHT_ONITEMLABEL) {
        *out = {(text.left + text.right) / 2, y};
        return true;
    }
    int right = -1, left = -1;
    for (int x = text.left - 1; x >= 0; --x) {
        HTREEITEM at = nullptr;
        const bool in = (HitFlags(tree, block, x, y, &at) & part) && at == item;
        if (in && right < 0)
            right = x;
        if (in)
            left = x;
        if (!in && right >= 0)
            break;
    }
    if (right < 0)
        return false;
    *out = {(left + right) / 2, y};
    return true;
}

bool MouseTo(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (SendInput(1, &in, sizeof in) != 1)
        return false;
    // a button event sent before the move has landed may be taken at the old place
    const DWORD start = GetTickCount();
    POINT p;
    while (GetCursorPos(&p) && (p.x != x || p.y != y)) {
        if (GetTickCount() - start > 2000)
            return false;
        Sleep(5);
    }
    return true;
}

// A real click at a point of the tree's client area.
bool ClickPart(HWND tree, HTREEITEM item, UINT part) {
    Send(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    POINT p;
    if (!PartPoint(tree, item, part, &p))
        return false;
    ClientToScreen(tree, &p);
    if (!MouseTo(p.x, p.y))
        return false;
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, in, sizeof in[0]) == 2;
}

} // namespace

bool ListTreeItems(HWND dialog, int id, std::vector<TreeItem>* out) {
    out->clear();
    HWND tree = TreeOf(dialog, id);
    if (!tree)
        return false;
    RemoteBlock block(tree);
    if (!block.Ok())
        return false;
    Walk(tree, block, Next(tree, TVGN_ROOT, nullptr), 0, out);
    return true;
}

std::vector<std::string> SplitTreePath(const std::string& joined) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t bar = joined.find('|', start);
        parts.push_back(joined.substr(start, bar == std::string::npos ? bar : bar - start));
        if (bar == std::string::npos)
            return parts;
        start = bar + 1;
    }
}

HTREEITEM FindTreeItem(HWND dialog, int id, const std::vector<std::string>& path) {
    HWND tree = TreeOf(dialog, id);
    if (!tree || path.empty())
        return nullptr;
    RemoteBlock block(tree);
    if (!block.Ok())
        return nullptr;
    HTREEITEM level = Next(tree, TVGN_ROOT, nullptr);
    HTREEITEM found = nullptr;
    for (const std::string& text : path) {
        found = nullptr;
        for (HTREEITEM item = level; item && !found; item = Next(tree, TVGN_NEXT, item)) {
            if (ItemText(tree, block, item) == text)
                found = item;
        }
        if (!found)
            return nullptr;
        level = Next(tree, TVGN_CHILD, found);
    }
    return found;
}

bool ClickTreeItem(HWND dialog, int id, const std::vector<std::string>& path) {
    HTREEITEM item = FindTreeItem(dialog, id, path);
    return item && ClickPart(TreeOf(dialog, id), item, TVHT_ONITEMLABEL);
}

bool ExpandTreeItem(HWND dialog, int id, const std::vector<std::string>& path) {
    HTREEITEM item = FindTreeItem(dialog, id, path);
    return item && ClickPart(TreeOf(dialog, id), item, TVHT_ONITEMBUTTON);
}

bool ToggleTreeCheck(HWND dialog, int id, const std::vector<std::string>& path, DWORD timeoutMs) {
    HTREEITEM item = FindTreeItem(dialog, id, path);
    HWND tree = TreeOf(dialog, id);
    if (!item)
        return false;
    const WPARAM w = reinterpret_cast<WPARAM>(item);
    const LRESULT before = Send(tree, TVM_GETITEMSTATE, w, TVIS_STATEIMAGEMASK);
    if (!ClickPart(tree, item, TVHT_ONITEMSTATEICON))
        return false;
    // the screen decides the new state after the click: the action ends once it shows
    const DWORD start = GetTickCount();
    while (Send(tree, TVM_GETITEMSTATE, w, TVIS_STATEIMAGEMASK) == before) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

} // namespace uidriver
