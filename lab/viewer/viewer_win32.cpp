// tovviewer.exe: the lab's viewer, opened by the shell for ".txt" documents and help files. It
// records the file it was given and shows it until it is closed or ended.
//   tovviewer.exe JOURNAL FILE
// appends FILE and a line end to JOURNAL (or to the file that TOV_VIEWER_JOURNAL names, which
// tests set for the programs they start), then shows FILE's text read-only.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

LRESULT CALLBACK ViewerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        MoveWindow(GetDlgItem(hwnd, 1), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// The file's bytes with every line end made CR LF, as the edit control wants them.
std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            text += '\r';
        text += bytes[i];
    }
    return text;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (__argc < 3)
        return 2;
    const std::string file = __argv[2];
    WNDCLASSA wc{};
    wc.lpfnWndProc = ViewerProcedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "TovLabViewer";
    RegisterClassA(&wc);
    const std::string title = file + " - lab viewer";
    HWND window =
        CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    HWND edit = CreateWindowExA(
        0, "EDIT", "",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 640,
        480, window, reinterpret_cast<HMENU>(1), instance, nullptr);
    SetWindowTextA(edit, ReadText(file).c_str());
    ShowWindow(window, show);
    // recorded once the window is up, so that a test which reads the line finds a window to close
    char journal[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("TOV_VIEWER_JOURNAL", journal, sizeof journal))
        lstrcpynA(journal, __argv[1], sizeof journal);
    if (FILE* f = std::fopen(journal, "ab")) {
        std::fprintf(f, "%s\n", file.c_str());
        std::fclose(f);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
