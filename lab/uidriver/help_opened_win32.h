// Test helper: what the shell opened for a screen, as the lab's viewer records it, and closing
// the viewer again.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace uidriver {

// The viewer records each file it is given in the journal that TOV_VIEWER_JOURNAL names; while an
// OpenedFiles lives, that is a file of its own in the temporary folder.
class OpenedFiles {
public:
    OpenedFiles() {
        char folder[MAX_PATH] = "";
        char name[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "opn", 0, name);
        folder_ = folder;
        journal_ = name;
        SetEnvironmentVariableA("TOV_VIEWER_JOURNAL", journal_.c_str());
    }
    ~OpenedFiles() {
        CloseViewers();
        SetEnvironmentVariableA("TOV_VIEWER_JOURNAL", nullptr);
        DeleteFileA(journal_.c_str());
    }
    OpenedFiles(const OpenedFiles&) = delete;
    OpenedFiles& operator=(const OpenedFiles&) = delete;

    // The next file the viewer records (its line without the line end), or "" when none comes
    // within the time. The journal's folder is watched for the write.
    std::string WaitNext(DWORD timeoutMs) {
        HANDLE change = FindFirstChangeNotificationA(
            folder_.c_str(), FALSE, FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
        const DWORD start = GetTickCount();
        std::string line;
        for (;;) {
            if (NextLine(&line))
                break;
            const DWORD spent = GetTickCount() - start;
            if (change == INVALID_HANDLE_VALUE || spent >= timeoutMs ||
                WaitForSingleObject(change, timeoutMs - spent) != WAIT_OBJECT_0)
                break;
            FindNextChangeNotification(change);
        }
        if (change != INVALID_HANDLE_VALUE)
            FindCloseChangeNotification(change);
        if (line.empty())
            NextLine(&line);
        return line;
    }

    // Closes the viewers of the files recorded so far and waits for their processes to end;
    // viewers that other tests opened stay.
    void CloseViewers() {
        Viewers found{this, {}};
        EnumWindows(FindViewer, reinterpret_cast<LPARAM>(&found));
        for (HWND viewer : found.windows) {
            DWORD pid = 0;
            GetWindowThreadProcessId(viewer, &pid);
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
            PostMessageA(viewer, WM_CLOSE, 0, 0);
            if (process) {
                WaitForSingleObject(process, 20000);
                CloseHandle(process);
            }
        }
    }

private:
    // A whole line past the ones already taken.
    bool NextLine(std::string* line) {
        std::ifstream in(journal_, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        const std::size_t end = text.find('\n', taken_);
        if (end == std::string::npos)
            return false;
        *line = text.substr(taken_, end - taken_);
        taken_ = end + 1;
        files_.push_back(*line);
        return true;
    }

    struct Viewers {
        OpenedFiles* self;
        std::vector<HWND> windows;
    };
    // The viewer's title is its file and " - lab viewer".
    static BOOL CALLBACK FindViewer(HWND window, LPARAM l) {
        auto* found = reinterpret_cast<Viewers*>(l);
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "TovLabViewer")
            return TRUE;
        char title[MAX_PATH + 32] = "";
        GetWindowTextA(window, title, sizeof title);
        for (const std::string& file : found->self->files_) {
            if (file + " - lab viewer" == title)
                found->windows.push_back(window);
        }
        return TRUE;
    }

    std::string folder_;
    std::string journal_;
    std::size_t taken_ = 0;
    std::vector<std::string> files_;
};

} // namespace uidriver
