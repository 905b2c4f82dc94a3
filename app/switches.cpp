// Switch search over the command line and the mode table.
#include "app/switches.h"

namespace app {

StartSwitches ParseSwitches(const std::string& commandLine) {
    auto has = [&commandLine](const char* text) {
        return commandLine.find(text) != std::string::npos;
    };
    StartSwitches s;
    s.debug = has("-debug");
    s.firstDrag = has("-firstDrag");
    s.missBackup = has("-missBackup");
    s.shareSetup = has("-shareSetup");
    s.backupMenu = has("-backupMenu");
    s.manage = has("-manage");
    s.backupNow = has("-backupNow");
    s.dashBoard = has("-dashBoard");
    return s;
}

StartMode ChooseStartMode(const StartSwitches& switches) {
    if (switches.firstDrag)
        return StartMode::FirstDrag;
    if (switches.missBackup)
        return StartMode::MissedBackup;
    return StartMode::Normal;
}

const char* InstanceName(StartMode mode) {
    switch (mode) {
    case StartMode::FirstDrag:
        return INSTANCE_NAME_FIRST_DRAG;
    case StartMode::MissedBackup:
        return INSTANCE_NAME_MISSED_BACKUP;
    case StartMode::Normal:
        break;
    }
    return INSTANCE_NAME_NORMAL;
}

const char* StartModeName(StartMode mode) {
    switch (mode) {
    case StartMode::FirstDrag:
        return "FIRST DRAG";
    case StartMode::MissedBackup:
        return "MISSED BACKUP";
    case StartMode::Normal:
        break;
    }
    return "NORMAL";
}

} // namespace app
