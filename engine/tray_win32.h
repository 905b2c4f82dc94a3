// The engine's own tray icon: the balloons of its notices, its menu ("Back up now", "Open backup
// status") and the program a click starts.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "engine/notice.h"

namespace engine {

// The message the icon sends its window; tests post it with lParam NIN_BALLOONUSERCLICK to
// click a balloon, and WM_COMMAND with a menu item's id to choose it.
constexpr UINT WM_TOV_TRAY = WM_APP + 1;
// A notice handed over by another thread (lParam: a Notice the window owns).
constexpr UINT WM_TOV_NOTICE = WM_APP + 2;
constexpr const char* kTrayWindowClass = "TovEngineTray";

class Tray {
public:
    // backUpNow: "Back up now" was chosen. log: a line for the engine's log.
    Tray(std::function<void()> backUpNow, std::function<void(const std::string&)> log);
    ~Tray();
    Tray(const Tray&) = delete;
    Tray& operator=(const Tray&) = delete;

    // The tray's window ("tovengine tray " + user) and its icon, on the calling thread, which
    // must run a message loop.
    bool Create();
    void Destroy();

    // Shows the notice from any thread: the window's thread puts up the balloon.
    void Post(const Notice& notice);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool AddIcon();
    void Show(const Notice& notice);
    void Menu();
    void Choose(int id);
    void OpenStatus(const char* why);

    std::function<void()> backUpNow_;
    std::function<void(const std::string&)> log_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    bool added_ = false;
    UINT taskbarCreated_ = 0;
};

// Starts the install directory's (else this program's folder's) tovManager.exe with one
// switch. False with the system's error; *program gets the path either way.
bool StartManager(const char* switchText, std::string* program, DWORD* error);

// The test hook: when TOV_ENGINE_NOTICES names a file, each line is appended to it and the
// semaphore "TOV_ENGINE_NOTICE_JOURNAL" is released once, so that a test waits for each line.
void JournalNotice(const std::string& line);

} // namespace engine
