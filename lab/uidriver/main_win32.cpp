// tovdriver.exe: one UI driver action per run, for scripts. Prints what it finds on stdout.
//
//   tovdriver screen [TIMEOUT_MS] [NOT_HWND]   "screen ID HWND" of the current screen
//   tovdriver controls                         one line per control: id class visible enabled
//                                              checked "text"
//   tovdriver click ID | key NAME | select ID INDEX | check ID 0|1 | drag X Y DX DY
//   tovdriver type ID TEXT                     types TEXT into edit field ID (replacing it)
//   tovdriver rect                             "rect LEFT TOP RIGHT BOTTOM"
//   tovdriver region X Y                       "inside" or "outside" ("none": no region)
//   tovdriver gone HWND [TIMEOUT_MS]           waits until the window has gone
//   tovdriver names                            one line per control: id class visible enabled
//                                              tabstop "name" (as a screen reader says it)
//   tovdriver access                           walks the screen with Tab; one line per shown,
//                                              enabled control without a name or out of reach
//                                              of Tab (exit code 1 when there is one)
//   tovdriver tree ID                          one line per item of tree ID, depth first:
//                                              depth state(0-3) expanded "text"
//   tovdriver tree-click|tree-expand|tree-check ID PATH
//                                              clicks the text, the +/- button or the check
//                                              box of the item at PATH ("C:\|Data|Mail")
// Exit code 0 on success, 1 when the action failed, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lab/uidriver/access_win32.h"
#include "lab/uidriver/tree_driver_win32.h"
#include "lab/uidriver/uidriver_win32.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: tovdriver screen|controls|names|access|click|key|type|select|"
                 "check|drag|rect|region|gone|tree|tree-click|tree-expand|tree-check ...\n");
    return 2;
}

void PrintNames(HWND screen) {
    for (const uidriver::NamedControl& c : uidriver::ListNames(screen)) {
        std::printf("%d %s %d %d %d \"%s\"\n", c.id, c.cls.c_str(), c.visible, c.enabled, c.tabStop,
                    c.name.c_str());
    }
}

bool PrintAccessProblems(HWND screen) {
    const std::vector<std::string> problems = uidriver::AccessProblems(screen, 5000);
    for (const std::string& p : problems) {
        std::printf("%s\n", p.c_str());
    }
    return problems.empty();
}

HWND ParseHwnd(const char* s) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoul(s, nullptr, 0)));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string cmd = argv[1];
    if (cmd == "gone") {
        if (argc < 3) {
            return Usage();
        }
        const DWORD t = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 10000;
        return uidriver::WaitGone(ParseHwnd(argv[2]), t) ? 0 : 1;
    }
    const DWORD timeout = cmd == "screen" && argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10000;
    HWND other = cmd == "screen" && argc > 3 ? ParseHwnd(argv[3]) : nullptr;
    uidriver::Screen s;
    if (!uidriver::WaitForScreen(0, timeout, &s, other)) {
        std::fprintf(stderr, "tovdriver: no screen\n");
        return 1;
    }
    bool ok = true;
    if (cmd == "screen") {
        std::printf("screen %d 0x%lx\n", s.dialogId,
                    static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(s.hwnd)));
    } else if (cmd == "controls") {
        for (const uidriver::Control& c : uidriver::ListControls(s.hwnd)) {
            std::printf("%d %s %d %d %d \"%s\"\n", c.id, c.cls.c_str(), c.visible, c.enabled,
                        c.checked, c.text.c_str());
        }
    } else if (cmd == "names") {
        PrintNames(s.hwnd);
    } else if (cmd == "access") {
        ok = PrintAccessProblems(s.hwnd);
    } else if (cmd == "click" && argc > 2) {
        ok = uidriver::Click(s.hwnd, std::atoi(argv[2]));
    } else if (cmd == "key" && argc > 2) {
        ok = uidriver::SendKey(s.hwnd, argv[2]);
    } else if (cmd == "type" && argc > 3) {
        ok = uidriver::Type(s.hwnd, std::atoi(argv[2]), argv[3]);
    } else if (cmd == "select" && argc > 3) {
        ok = uidriver::SelectEntry(s.hwnd, std::atoi(argv[2]), std::atoi(argv[3]));
    } else if (cmd == "check" && argc > 3) {
        ok = uidriver::SetCheck(s.hwnd, std::atoi(argv[2]), std::atoi(argv[3]) != 0);
    } else if (cmd == "drag" && argc > 5) {
        ok = uidriver::Drag(s.hwnd, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                            std::atoi(argv[5]));
    } else if (cmd == "rect") {
        const RECT r = uidriver::WindowRect(s.hwnd);
        std::printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if (cmd == "region" && argc > 3) {
        if (!uidriver::HasRegion(s.hwnd)) {
            std::printf("none\n");
        } else {
            std::printf("%s\n",
                        uidriver::RegionContains(s.hwnd, std::atoi(argv[2]), std::atoi(argv[3]))
                            ? "inside"
                            : "outside");
        }
    } else if (cmd == "tree" && argc > 2) {
        std::vector<uidriver::TreeItem> items;
        ok = uidriver::ListTreeItems(s.hwnd, std::atoi(argv[2]), &items);
        for (const uidriver::TreeItem& t : items)
            std::printf("%d %d %d \"%s\"\n", t.depth, t.state, t.expanded, t.text.c_str());
    } else if ((cmd == "tree-click" || cmd == "tree-expand" || cmd == "tree-check") && argc > 3) {
        const int id = std::atoi(argv[2]);
        const std::vector<std::string> path = uidriver::SplitTreePath(argv[3]);
        ok = cmd == "tree-click"    ? uidriver::ClickTreeItem(s.hwnd, id, path)
             : cmd == "tree-expand" ? uidriver::ExpandTreeItem(s.hwnd, id, path)
                                    : uidriver::ToggleTreeCheck(s.hwnd, id, path);
    } else {
        return Usage();
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}
