// The screen flow: the start mode, the session, the Locate loop and the appliance session.
#include "app/navigation.h"

#include "app/log.h"
#include "app/settings_rules.h"
#include "backup/engine_commands.h"
#include "setup/message_table.h"
#include "setup/screen_results.h"

namespace app {

using namespace setup; // the result codes

namespace {

// A screen that could not be created ends the flow as X would: showing it again would fail again,
// forever, with no window and the single-instance name held. The screens have said why.
int Shown(int result) { return result == RESULT_NOT_SHOWN ? RESULT_CLOSE : result; }

} // namespace

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
        screens.ShowFirstDragNotice();
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
        int result = Shown(locate.result);
        if (result == RESULT_NEXT)
            result = RunApplianceSession();
        if (result == RESULT_CLOSE)
            return RESULT_CLOSE;
    }
}

int Navigator::RunApplianceSession() {
    for (;;) {
        int result = Shown(screens.ShowNote(fields.CurrentHostName, fields.CurrentIP));
        if (result == RESULT_NEXT)
            result = RunMainMenu();
        if (result == RESULT_BACK || result == RESULT_CLOSE)
            return result;
    }
}

int Navigator::RunMainMenu() {
    for (;;) {
        // The first result comes from the switches, later assignments winning.
        int result = 0;
        if (fields.shareSetup)
            result = RESULT_MENU_SETUP;
        if (fields.backupMenu || fields.dashBoard || fields.backupNow)
            result = RESULT_MENU_BACKUP;
        if (fields.manage)
            result = RESULT_MENU_DRIVES;
        if (result == 0)
            result = Shown(screens.ShowMainMenu(fields.CurrentHostName, fields.CurrentIP));

        switch (result) {
        case RESULT_BACK:
            return RESULT_BACK;
        case RESULT_MENU_SETUP:
            result = RunSetup();
            break;
        case RESULT_MENU_BACKUP:
            result = RunBackupGate();
            break;
        case RESULT_MENU_DRIVES:
            result = RunDriveManagement();
            break;
        default:
            break;
        }
        if (result == RESULT_CLOSE)
            return RESULT_CLOSE;
        // Whatever a switch chose has been done once; from here on the menu is shown.
        fields.shareSetup = fields.backupMenu = fields.manage = false;
        fields.backupNow = fields.dashBoard = false;
    }
}

int Navigator::RunBackupGate() {
    // The two gate messages end with their own result, which is not passed on: the menu returns.
    if (screens.WindowsMajorVersion() < 5) {
        WriteLog(LOG_TRACE, "  Backup and restore need Windows 2000 or later");
        return screens.ShowMessage(fields.CurrentHostName, setup::MSG_WINDOWS_TOO_OLD) ==
                       RESULT_NOT_SHOWN
                   ? RESULT_CLOSE
                   : 0;
    }
    ReadShareSettings();
    if (fields.sortFolder.empty() ||
        fields.sortFolder.find(fields.CurrentHostName) == std::string::npos) {
        WriteLog(LOG_TRACE, "  No share of <%s> to back up to: <%s>",
                 fields.CurrentHostName.c_str(), fields.sortFolder.c_str());
        return screens.ShowMessage(fields.CurrentHostName, setup::MSG_SHARE_NOT_ACCESSIBLE) ==
                       RESULT_NOT_SHOWN
                   ? RESULT_CLOSE
                   : 0;
    }
    return RunBackupMenu();
}

int Navigator::RunSetup() {
    for (;;) {
        int type = setupType;
        const int result = Shown(screens.ShowChooseAccount(fields.CurrentHostName, &type));
        setupType = type;
        if (result != RESULT_NEXT)
            return result;
        const int step = RunNamePasswordStep(type);
        if (step != RESULT_BACK && step != RESULT_SETUP_FAILED)
            return step;
    }
}

int Navigator::RunNamePasswordStep(int type) {
    for (;;) {
        const NamePasswordOutcome entered =
            screens.ShowNamePassword(fields.CurrentHostName, fields.CurrentIP, type);
        switch (Shown(entered.result)) {
        case RESULT_NEXT: {
            const int purpose = RunAccountPurposeStep(type, entered.name, entered.password);
            if (purpose == RESULT_BACK)
                continue;
            return purpose;
        }
        case RESULT_SETUP_DONE:
            return RunCompletionStep(type, entered.name);
        case RESULT_SETUP_FAILED:
            return RunErrorStep(entered.errorCode);
        default:
            return Shown(entered.result);
        }
    }
}

int Navigator::RunAccountPurposeStep(int type, const std::string& name,
                                     const std::string& password) {
    const PurposeOutcome purpose =
        screens.ShowAccountPurpose(fields.CurrentHostName, fields.CurrentIP, type, name, password);
    if (purpose.result == RESULT_SETUP_DONE)
        return RunCompletionStep(type, purpose.name);
    if (purpose.result == RESULT_SETUP_FAILED)
        return RunErrorStep(purpose.errorCode);
    return Shown(purpose.result);
}

int Navigator::RunCompletionStep(int type, const std::string& name) {
    return Shown(screens.ShowSetupComplete(fields.CurrentHostName, name, type));
}

int Navigator::RunErrorStep(uint32_t code) {
    return Shown(screens.ShowMessage(fields.CurrentHostName, code));
}

int Navigator::RunDriveManagement() {
    for (;;) {
        int result = Shown(screens.ShowDriveManagement(fields.CurrentHostName, fields.CurrentIP));
        if (result == RESULT_BACK)
            return RESULT_BACK;
        if (result == RESULT_STATUS)
            result = RunStatusView();
        else if (result == RESULT_SORT_SETTINGS)
            result = Shown(screens.ShowSortSettings());
        if (result == RESULT_CLOSE)
            return RESULT_CLOSE;
    }
}

int Navigator::RunStatusView() {
    return Shown(screens.ShowStatusView(fields.CurrentHostName + " (" + fields.CurrentIP + ")"));
}

void Navigator::ReadShareSettings() {
    fields.sortFolder = AppSettings::TrimWhite(screens.ReadSetting("sortFolder"));
    fields.shareDriveLetter = AppSettings::TrimWhite(screens.ReadSetting("shareDriveLetter"));
}

int Navigator::RunBackupMenu() {
    for (;;) {
        int result = 0;
        if (fields.dashBoard) {
            fields.dashBoard = false;
            result = RESULT_STATUS;
        }
        if (fields.backupNow) {
            fields.backupNow = false;
            screens.SendEngineCommand(backup::ENGINE_BACKUP);
            result = RESULT_BACKUP_NOW;
        }
        ReadShareSettings();
        if (result == 0)
            result = Shown(screens.ShowBackupMenu(fields.CurrentHostName, fields.sortFolder));

        switch (result) {
        case RESULT_BACK:
            return RESULT_BACK;
        case RESULT_BACKUP_SETTINGS:
            result = RunBackupWizard();
            break;
        case RESULT_RESTORE:
            result = RunRestore();
            break;
        case RESULT_STATUS:
            result = RunStatusView();
            break;
        case RESULT_CLEAN_UP:
            result = Shown(screens.ShowCleanUp(fields.CurrentHostName));
            break;
        case RESULT_BACKUP_NOW:
            result = Shown(screens.ShowBackupProgress(fields.CurrentHostName, fields.sortFolder,
                                                      fields.shareDriveLetter));
            break;
        default:
            break;
        }
        if (result == RESULT_CLOSE)
            return RESULT_CLOSE;
    }
}

int Navigator::RunBackupWizard() {
    const std::string installDirectory = screens.ReadInstallDirectory();
    bool repeat = false;
    int previous = 0;
    for (;;) {
        if (screens.SelectionHasShare(fields.sortFolder) && !repeat) {
            const int summary = RunSummaryStep();
            if (summary != RESULT_EDIT)
                return summary;
            repeat = true;
            previous = summary;
            continue;
        }
        // Back from the schedule page returns to the folders as the user left them.
        if (previous != RESULT_BACK)
            screens.SnapshotSelection();
        const int folders = Shown(screens.ShowWizardFolders(fields.sortFolder));
        if (folders != RESULT_NEXT)
            return folders;
        const int schedule = RunScheduleStep(installDirectory);
        if (schedule != RESULT_BACK && schedule != RESULT_EDIT)
            return schedule;
        repeat = true;
        previous = schedule;
    }
}

int Navigator::RunScheduleStep(const std::string& installDirectory) {
    const int result = Shown(screens.ShowWizardSchedule(fields.sortFolder, installDirectory));
    if (result != RESULT_NEXT)
        return result;
    return RunSummaryStep();
}

int Navigator::RunSummaryStep() {
    for (;;) {
        const int result =
            Shown(screens.ShowWizardSummary(fields.sortFolder, fields.shareDriveLetter));
        if (result != RESULT_ADVANCED)
            return result;
        const int advanced = Shown(screens.ShowAdvanced(fields.CurrentHostName));
        if (advanced != RESULT_BACK && advanced != RESULT_FINISHED)
            return advanced;
    }
}

int Navigator::RunRestore() {
    for (;;) {
        const int type = Shown(screens.ShowRestoreType(fields.sortFolder));
        if (type != RESULT_NEXT)
            return type;
        const int files =
            Shown(screens.ShowRestoreFiles(fields.shareDriveLetter, fields.sortFolder));
        if (files != RESULT_BACK)
            return files;
    }
}

} // namespace app
