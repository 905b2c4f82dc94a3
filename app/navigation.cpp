// The screen flow: the start mode, the session, the Locate loop and the appliance session.
#include "app/navigation.h"

#include "app/log.h"
#include "app/settings_rules.h"
#include "setup/message_table.h"
#include "setup/screen_results.h"

namespace app {

using setup::RESULT_BACK;
using setup::RESULT_CLOSE;
using setup::RESULT_NEXT;
using setup::RESULT_YES;

int Navigator::RunStartMode(StartMode mode, bool alreadyRunning) {
    WriteLog(LOG_TRACE, "Start mode <%s>", StartModeName(mode));
    if (alreadyRunning) {
        // The copy that holds the name is left alone; this one only says so and ends.
        WriteLog(LOG_TRACE, "  Another copy holds <%s>: not starting", InstanceName(mode));
        screens.ShowMessage("", setup::MSG_ALREADY_OPEN);
        return RESULT_CLOSE;
    }
    switch (mode) {
    case StartMode::FirstDrag:
        // The first-drag notice screen is still to come; until then this mode shows nothing.
        WriteLog(LOG_TRACE, "  First drag notice: nothing to show");
        return RESULT_CLOSE;
    case StartMode::MissedBackup:
        if (screens.ShowMessage("", setup::MSG_MISSED_BACKUP) != RESULT_YES)
            return RESULT_CLOSE;
        screens.Wait(MISSED_BACKUP_PAUSE_MILLISECONDS);
        fields.backupNow = true;
        return RunSession();
    case StartMode::Normal:
        break;
    }
    return RunSession();
}

int Navigator::RunSession() {
    fields.CurrentIP = AppSettings::TrimWhite(screens.ReadSetting("CurrentIP"));
    fields.CurrentHostName = AppSettings::TrimWhite(screens.ReadSetting("CurrentHostName"));

    const bool sockets = screens.StartSockets();
    const bool answered =
        sockets && !fields.CurrentIP.empty() && screens.ProbeAnswers(fields.CurrentIP);
    int result;
    if (answered) {
        result = RunApplianceSession();
        if (result == RESULT_BACK)
            result = RunLocateLoop();
    } else {
        result = RunLocateLoop();
    }
    if (sockets)
        screens.StopSockets();
    return result;
}

int Navigator::RunLocateLoop() {
    for (;;) {
        const LocateOutcome locate = screens.ShowLocate();
        fields.CurrentHostName = locate.hostName;
        fields.CurrentIP = locate.ipAddress;
        int result = locate.result;
        if (result == RESULT_NEXT)
            result = RunApplianceSession();
        if (result == RESULT_CLOSE)
            return RESULT_CLOSE;
    }
}

int Navigator::RunApplianceSession() {
    for (;;) {
        int result = screens.ShowNote(fields.CurrentHostName, fields.CurrentIP);
        if (result == RESULT_NEXT)
            result = RunMainMenu();
        if (result == RESULT_BACK || result == RESULT_CLOSE)
            return result;
    }
}

int Navigator::RunMainMenu() {
    // Stands in for the Main menu until that screen exists: the session ends as with X.
    return RESULT_CLOSE;
}

} // namespace app
