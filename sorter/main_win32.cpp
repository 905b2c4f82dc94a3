// tovsort.exe: sorts the files dropped on the root of the user's mapped share into its category
// folders, one copy per logged-on user, until the user logs off or "tovsort -quit" ends it.
//   tovsort [-debug] [-quit]
#include <windows.h>

#include <cstring>
#include <string>

#include "app/log.h"
#include "sorter/sorter.h"
#include "sorter/system_win32.h"

namespace {

// How often the root is looked at while files wait to settle, and otherwise (settings changes,
// and files a change notification did not report).
constexpr DWORD kWaitingLookMs = 500;
constexpr DWORD kIdleLookMs = 2000;

bool HasSwitch(const char* commandLine, const char* name) {
    const size_t n = std::strlen(name);
    for (const char* p = commandLine; (p = std::strstr(p, name)) != nullptr; p += n) {
        const bool starts = p == commandLine || p[-1] == ' ' || p[-1] == '\t';
        const bool ends = p[n] == '\0' || p[n] == ' ' || p[n] == '\t';
        if (starts && ends)
            return true;
    }
    return false;
}

std::string UserName() {
    char name[257] = "";
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size))
        return "USER";
    return name;
}

// Milliseconds since start, past GetTickCount's wrap after 49 days.
class Clock {
public:
    uint64_t Now() {
        const DWORD tick = GetTickCount();
        total += static_cast<DWORD>(tick - last);
        last = tick;
        return total;
    }

private:
    DWORD last = GetTickCount();
    uint64_t total = 0;
};

// Change notifications for one folder, files only; without them the sorter looks on its timer.
class RootWatch {
public:
    RootWatch() : event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~RootWatch() {
        Close();
        CloseHandle(event);
    }
    RootWatch(const RootWatch&) = delete;
    RootWatch& operator=(const RootWatch&) = delete;

    void Open(const std::string& root) {
        Close();
        watched = root;
        if (root.empty())
            return;
        folder =
            CreateFileA((root + "\\").c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        if (folder != INVALID_HANDLE_VALUE && Arm()) {
            Note("  Change notifications for <" + root + "\\>");
            return;
        }
        Note("  No change notifications for <" + root + "\\>: looking every " +
             std::to_string(kIdleLookMs) + " ms");
        Close();
    }

    const std::string& Watched() const { return watched; }
    // The event that a notification sets, or null while there is none to wait for.
    HANDLE Event() const { return armed ? event : nullptr; }

    // After the event: takes the notification and asks for the next one.
    void Rearm() {
        DWORD bytes = 0;
        GetOverlappedResult(folder, &overlapped, &bytes, FALSE);
        armed = false;
        if (!Arm()) {
            Note("  Change notifications for <" + watched + "\\> ended");
            Close();
        }
    }

    // The drive went away: the next look opens it again.
    bool Broken() const { return !watched.empty() && folder == INVALID_HANDLE_VALUE; }

private:
    // A drive that gives no notifications is opened again on every look: said once.
    void Note(const std::string& line) {
        if (line != noted)
            WriteLog(LOG_DETAIL, "%s", line.c_str());
        noted = line;
    }

    bool Arm() {
        ResetEvent(event);
        overlapped = OVERLAPPED();
        overlapped.hEvent = event;
        armed =
            ReadDirectoryChangesW(folder, buffer, sizeof buffer, FALSE,
                                  FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                      FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES,
                                  nullptr, &overlapped, nullptr) != FALSE;
        return armed;
    }

    void Close() {
        if (folder != INVALID_HANDLE_VALUE) {
            // the request in flight must end before its buffer and event may go
            if (armed) {
                CancelIo(folder);
                DWORD bytes = 0;
                GetOverlappedResult(folder, &overlapped, &bytes, TRUE);
            }
            CloseHandle(folder);
            folder = INVALID_HANDLE_VALUE;
        }
        armed = false;
    }

    HANDLE event;
    HANDLE folder = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped = {};
    bool armed = false;
    std::string watched;
    std::string noted;
    DWORD buffer[4096];
};

int Run(HANDLE stop) {
    sorter::WindowsSortSystem system;
    sorter::Sorter sorter(system);
    RootWatch watch;
    Clock clock;
    for (;;) {
        const sorter::SortConfig config = sorter::ReadSortConfig();
        if (config.root != watch.Watched() || watch.Broken())
            watch.Open(config.root);
        const sorter::PassOutcome outcome = sorter.Pass(config, clock.Now());
        HANDLE handles[2] = {stop, watch.Event()};
        const DWORD count = handles[1] ? 2 : 1;
        const DWORD woke = WaitForMultipleObjects(count, handles, FALSE,
                                                  outcome.waiting ? kWaitingLookMs : kIdleLookMs);
        if (woke == WAIT_OBJECT_0)
            return 0;
        if (woke == WAIT_OBJECT_0 + 1)
            watch.Rearm();
        else if (woke == WAIT_FAILED)
            Sleep(kIdleLookMs);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const char* line = commandLine ? commandLine : "";
    // one copy per user: the names carry the user's name
    const std::string user = UserName();
    const std::string stopName = "TOV_SORT_STOP_" + user;
    if (HasSwitch(line, "-quit")) {
        HANDLE running = OpenEventA(EVENT_MODIFY_STATE, FALSE, stopName.c_str());
        if (running) {
            SetEvent(running);
            CloseHandle(running);
        }
        return 0;
    }
    HANDLE instance = CreateMutexA(nullptr, FALSE, ("TOV_SORT_RUNNING_" + user).c_str());
    if (!instance || GetLastError() == ERROR_ALREADY_EXISTS) {
        // the first copy sorts; this one leaves its log alone and ends
        if (instance)
            CloseHandle(instance);
        return 0;
    }
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, stopName.c_str());
    InitLog(HasSwitch(line, "-debug") ? 0xFFFF : 0, sorter::SORTER_LOG_PATH);
    WriteLog(LOG_TRACE, "\n\n---------------------------------------------------------------");
    WriteLog(LOG_TRACE, "Starting TOVSORT for <%s>", user.c_str());
    const int result = stop ? Run(stop) : 1;
    WriteLog(LOG_TRACE, "TOVSORT ends");
    if (stop)
        CloseHandle(stop);
    CloseHandle(instance);
    return result;
}
