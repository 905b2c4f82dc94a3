// tovbaredialog.exe: the benchmark's yardstick, one plain dialog from a template with nothing of
// the skin. Prints "first-paint-ms N" once the dialog and its controls are painted, then ends.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "lab/uidriver/first_paint_win32.h"

namespace {

constexpr UINT kPainted = WM_APP + 1;

INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM, LPARAM) {
    static bool reported = false;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_PAINT:
        if (!reported) {
            reported = true;
            PostMessageA(hwnd, kPainted, 0, 0);
        }
        return FALSE;
    case kPainted:
        // whatever is still to paint (the controls) is painted now
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::printf("first-paint-ms %.1f\n", uidriver::MsSinceProcessStart());
        std::fflush(stdout);
        EndDialog(hwnd, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(hwnd, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int main() {
    // as any program whose dialog has a progress bar
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    return static_cast<int>(
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), nullptr, Procedure, 0));
}
