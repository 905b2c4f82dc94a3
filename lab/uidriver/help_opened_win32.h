// Test helper: what the shell opened for a screen, as the lab's viewer records it, and closing
// the viewer again.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

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

    // Closes every viewer window and waits for its process to end.
    static void CloseViewers() {
        HWND viewer;
        while ((viewer = FindWindowA("TovLabViewer", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(viewer, &pid);
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
            PostMessageA(viewer, WM_CLOSE, 0, 0);
            if (!process)
                break;
            const bool ended = WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
            CloseHandle(process);
            if (!ended)
                break;
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
        return true;
    }

    std::string folder_;
    std::string journal_;
    std::size_t taken_ = 0;
};

} // namespace uidriver
