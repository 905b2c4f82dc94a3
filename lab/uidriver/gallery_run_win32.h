// Test helper: one run of tovgallery.exe (or another screen host beside it) in its own process,
// its output in a file, for the tests that drive screens with the UI driver.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "lab/uidriver/uidriver_win32.h"

namespace uidriver_test {

inline constexpr DWORD kWait = 20000;

inline std::string BinDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/") + 1);
}

// One run of tovgallery.exe, or of PROGRAM from the same folder; its output (the gallery's is one
// "dialog ID result N" line per dialog) goes to a file.
class Gallery {
public:
    explicit Gallery(const std::string& args, const std::string& program = "tovgallery.exe") {
        char name[MAX_PATH];
        GetTempFileNameA(BinDir().c_str(), "gal", 0, name);
        out_ = name;
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        HANDLE file = CreateFileA(out_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                                  0, nullptr);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = file;
        si.hStdError = file;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        std::string cmd = "\"" + BinDir() + program + "\" " + args;
        ok_ = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, BinDir().c_str(),
                             &si, &pi_) != 0;
        CloseHandle(file);
    }
    ~Gallery() {
        if (ok_) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, kWait);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        DeleteFileA(out_.c_str());
    }
    bool Started() const { return ok_; }
    DWORD Pid() const { return pi_.dwProcessId; }

    uidriver::Screen NextScreen(HWND previous = nullptr) {
        uidriver::Screen s;
        EXPECT_TRUE(uidriver::WaitForScreen(Pid(), kWait, &s, previous)) << "no screen came up";
        return s;
    }
    // Waits for the process to end; its exit code is the last dialog's result.
    int Finish() {
        EXPECT_EQ(WaitForSingleObject(pi_.hProcess, kWait), WAIT_OBJECT_0) << "gallery hangs";
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<int>(code);
    }
    std::string Output() const {
        std::string s;
        FILE* f = std::fopen(out_.c_str(), "rb");
        if (f) {
            char buf[512];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
                s.append(buf, n);
            }
            std::fclose(f);
        }
        return s;
    }

private:
    bool ok_ = false;
    PROCESS_INFORMATION pi_{};
    std::string out_;
};

} // namespace uidriver_test
