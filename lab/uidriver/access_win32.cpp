// The UI driver's names of controls and its Tab walk, done with messages that Windows carries
// between processes.
#include "lab/uidriver/access_win32.h"

#include <algorithm>

#include "lab/uidriver/uidriver_win32.h"
#include "skin/names.h"

namespace uidriver {
namespace {

std::string ClassOf(HWND w) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    return cls;
}

std::string TextOf(HWND w) {
    char buf[1024] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                        2000, &ignored);
    return buf;
}

bool Is(const std::string& cls, const char* name) { return lstrcmpiA(cls.c_str(), name) == 0; }

// Controls whose text is their content, not their name: a reader takes the label before them.
bool NamedByLabel(const std::string& cls) {
    return Is(cls, "Edit") || Is(cls, "ComboBox") || Is(cls, "ListBox") ||
           Is(cls, "SysTreeView32") || Is(cls, "SysDateTimePick32") || Is(cls, "SysListView32") ||
           Is(cls, "msctls_updown32") || Is(cls, "msctls_trackbar32");
}

bool IsTextLabel(HWND w) {
    const LONG type = GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK;
    return Is(ClassOf(w), "Static") && type != SS_ICON && type != SS_BITMAP &&
           type != SS_ENHMETAFILE;
}

std::string OwnName(HWND w, const std::string& cls) {
    const bool noPrefix = Is(cls, "Static") && (GetWindowLongA(w, GWL_STYLE) & SS_NOPREFIX) != 0;
    return skin::SpokenName(TextOf(w), noPrefix);
}

// The label just before a control in the tab order, passing over what is not shown.
std::string LabelBefore(HWND w) {
    for (HWND p = GetWindow(w, GW_HWNDPREV); p; p = GetWindow(p, GW_HWNDPREV)) {
        if (!(GetWindowLongA(p, GWL_STYLE) & WS_VISIBLE))
            continue;
        return IsTextLabel(p) ? OwnName(p, "Static") : std::string();
    }
    return std::string();
}

bool Interactive(HWND w, const std::string& cls) {
    if (Is(cls, "Static") || Is(cls, "msctls_progress32"))
        return false;
    if (Is(cls, "Button")) {
        const LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
        return type != BS_GROUPBOX;
    }
    return true;
}

bool IsRadio(HWND w) {
    const LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
    return Is(ClassOf(w), "Button") && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

} // namespace

std::vector<NamedControl> ListNames(HWND dialog) {
    std::vector<NamedControl> out;
    HWND group = nullptr;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        NamedControl k;
        k.hwnd = c;
        k.id = GetDlgCtrlID(c);
        k.cls = ClassOf(c);
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        k.name = NamedByLabel(k.cls) ? LabelBefore(c) : OwnName(c, k.cls);
        k.visible = IsWindowVisible(c) != 0;
        k.enabled = IsWindowEnabled(c) != 0;
        k.tabStop = (style & WS_TABSTOP) != 0;
        k.interactive = Interactive(c, k.cls);
        // radio buttons belong together from one with WS_GROUP to the next control that has it,
        // as the dialog manager counts them: a note between two of them does not end the group
        if ((style & WS_GROUP) || !group)
            group = c;
        k.group = IsRadio(c) ? group : c;
        out.push_back(k);
    }
    return out;
}

HWND FocusedControl(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus && IsChild(dialog, info.hwndFocus)) {
        // a control made of windows of its own (a drop-down list's edit) counts as itself
        HWND w = info.hwndFocus;
        while (GetParent(w) != dialog)
            w = GetParent(w);
        return w;
    }
    return nullptr;
}

HWND PressTab(HWND dialog, HWND from, DWORD timeoutMs) {
    if (!SendKey(dialog, "Tab"))
        return nullptr;
    // the focus stays where the key leaves it until the next key: a lasting state
    const DWORD start = GetTickCount();
    for (;;) {
        HWND now = FocusedControl(dialog);
        if (now && now != from)
            return now;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(10);
    }
}

std::vector<HWND> TabCycle(HWND dialog, int limit, DWORD timeoutMs) {
    std::vector<HWND> visited;
    HWND start = FocusedControl(dialog);
    if (!start)
        return visited;
    HWND at = start;
    for (int i = 0; i < limit; ++i) {
        at = PressTab(dialog, at, timeoutMs);
        if (!at)
            break;
        visited.push_back(at);
        if (at == start)
            break;
    }
    return visited;
}

std::vector<std::string> AccessProblems(HWND dialog, DWORD timeoutMs) {
    std::vector<std::string> problems;
    const std::vector<NamedControl> all = ListNames(dialog);
    const std::vector<HWND> reached = TabCycle(dialog, static_cast<int>(all.size()) + 2, timeoutMs);
    if (reached.empty())
        problems.push_back("no control has the focus, or Tab does not move it");
    for (const NamedControl& c : all) {
        if (!c.interactive || !c.visible || !c.enabled)
            continue;
        const std::string what = std::to_string(c.id) + " " + c.cls;
        if (c.name.empty())
            problems.push_back(what + ": no name");
        const bool byTab = std::any_of(reached.begin(), reached.end(), [&](HWND r) {
            if (r == c.hwnd)
                return true;
            auto it = std::find_if(all.begin(), all.end(),
                                   [r](const NamedControl& k) { return k.hwnd == r; });
            return it != all.end() && it->group == c.group;
        });
        if (!byTab)
            problems.push_back(what + " \"" + c.name + "\": not reached by Tab");
    }
    if (!problems.empty()) {
        // where the walk went, for the one who reads the failure
        std::string walk = "Tab went:";
        for (HWND r : reached)
            walk += " " + std::to_string(GetDlgCtrlID(r));
        problems.push_back(walk);
    }
    return problems;
}

} // namespace uidriver
