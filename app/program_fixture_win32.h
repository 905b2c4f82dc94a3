// Test fixture that starts tovManager.exe beside the test program, as Windows starts it, and
// reads what it shows and logs.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/test_registry_win32.h"
#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"

namespace frame_test {

inline const char* const kLog = "C:\\ZELTOVManager.log";
constexpr DWORD kDeadlineMs = 30000;

struct BoxSearch {
    DWORD pid;
    HWND found;
};

// A visible dialog-class window of the searched process: the message box.
inline BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (pid == search->pid && IsWindowVisible(window) && std::strcmp(cls, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// tovManager.exe beside this test program, started with a command line as Windows passes it.
// These runs are outside the network lab: with no remembered appliance and TOV_TEST_NO_NETWORK
// (inherited by the program) the flow neither probes nor scans, and the Locate screen answers as
// closed, so a normal start ends by itself.
class Program : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("TOV_TEST_NO_NETWORK", "1");
        DeleteProductKeys();
        DeleteFileA(kLog);
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        PathRemoveFileSpecA(path);
        dir_ = path;
        ASSERT_NE(GetFileAttributesA((dir_ + "\\tovManager.exe").c_str()), INVALID_FILE_ATTRIBUTES)
            << dir_;
    }
    void TearDown() override {
        for (HANDLE h : held_)
            CloseHandle(h);
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process_.hProcess, 99);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        DeleteProductKeys();
        DeleteFileA(kLog);
    }

    // Takes a single-instance name as another copy would.
    void Hold(const char* name) {
        HANDLE h = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, name);
        ASSERT_NE(h, nullptr);
        ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        held_.push_back(h);
    }

    void Start(const std::string& arguments, const std::string& exe = "") {
        const std::string program = exe.empty() ? dir_ + "\\tovManager.exe" : exe;
        std::string commandLine = "\"" + program + "\" " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &si, &process_))
            << GetLastError();
    }

    // The program ended by itself within the deadline.
    void ExpectEnds() {
        ASSERT_EQ(WaitForSingleObject(process_.hProcess, kDeadlineMs), WAIT_OBJECT_0)
            << "tovManager.exe did not end";
        DWORD code = 1;
        GetExitCodeProcess(process_.hProcess, &code);
        EXPECT_EQ(code, 0u);
    }

    struct Box {
        HWND window = nullptr;
        std::wstring caption;
        std::wstring text;
    };

    // Waits for the message box of the started program and reads it.
    Box WaitForBox() {
        Box box;
        const DWORD start = GetTickCount();
        while (!box.window && GetTickCount() - start < kDeadlineMs) {
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0)
                break; // ended without a box
            BoxSearch search{process_.dwProcessId, nullptr};
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
            box.window = search.found;
        }
        if (!box.window)
            return box;
        wchar_t buffer[512] = L"";
        GetWindowTextW(box.window, buffer, 512);
        box.caption = buffer;
        // the text of a message box is its static control 0xFFFF
        buffer[0] = 0;
        GetDlgItemTextW(box.window, 0xFFFF, buffer, 512);
        box.text = buffer;
        return box;
    }

    void Dismiss(const Box& box) {
        HWND ok = GetDlgItem(box.window, IDOK);
        ASSERT_NE(ok, nullptr);
        PostMessageA(ok, BM_CLICK, 0, 0);
    }

    // Waits for the program's message dialog and reads its heading and text.
    Box WaitForMessageDialog() {
        Box box;
        uidriver::Screen screen;
        if (!uidriver::WaitForScreen(process_.dwProcessId, kDeadlineMs, &screen) ||
            screen.dialogId != IDD_MESSAGE)
            return box;
        box.window = screen.hwnd;
        wchar_t buffer[512] = L"";
        GetDlgItemTextW(box.window, IDC_HEADING, buffer, 512);
        box.caption = buffer;
        buffer[0] = 0;
        GetDlgItemTextW(box.window, IDC_MESSAGE_TEXT, buffer, 512);
        box.text = buffer;
        return box;
    }

    // Presses the dialog's right button (OK, Yes) or its left one (No).
    static void Press(const Box& box, int button = IDC_RIGHT_BUTTON) {
        ASSERT_TRUE(uidriver::Click(box.window, button));
    }

    static std::string ReadLog() {
        std::ifstream in(kLog, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static std::vector<std::string> LogLines() {
        const std::string text = ReadLog();
        std::vector<std::string> lines;
        size_t at = 0;
        while (at < text.size()) {
            const size_t end = text.find("\r\n", at);
            if (end == std::string::npos) {
                lines.push_back(text.substr(at) + "<no CR LF>");
                break;
            }
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }

    // The entries' texts, without their time stamps.
    static std::vector<std::string> LogTexts() {
        std::vector<std::string> texts;
        for (const std::string& line : LogLines())
            texts.push_back(line.size() >= 22 && line.compare(19, 3, ">  ") == 0 ? line.substr(22)
                                                                                 : line);
        return texts;
    }

    static bool Logged(const std::string& text) {
        for (const std::string& t : LogTexts()) {
            if (t == text)
                return true;
        }
        return false;
    }

    std::string dir_;
    std::vector<HANDLE> held_;
    PROCESS_INFORMATION process_{};
};

} // namespace frame_test
