// The screen flow, from the start mode down; the screens arrive one flow at a time.
#include "app/manager_app.h"

#include <windows.h>

#include "app/log.h"
#include "res/resource.h"
#include "skin/resources_win32.h"

namespace {
// The program's result for "close the program".
constexpr int RESULT_CLOSE = 100;
} // namespace

int ManagerApp::RunStartMode(app::StartMode mode, bool alreadyRunning) {
    WriteLog(LOG_TRACE, "Start mode <%s>", app::StartModeName(mode));
    if (alreadyRunning) {
        // The copy that holds the name is left alone; this one only says so and ends.
        WriteLog(LOG_TRACE, "  Another copy holds <%s>: not starting", app::InstanceName(mode));
        const std::string heading = skin::LoadString(IDS_ALREADY_OPEN_HEADING);
        const std::string text = skin::LoadString(IDS_ALREADY_OPEN_TEXT);
        MessageBoxA(nullptr, text.c_str(), heading.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return RESULT_CLOSE;
    }
    return RESULT_CLOSE;
}
