// The screen flow on Windows: the application's fields and the real screens behind the navigator.
#include "app/manager_app.h"

#include <windows.h>

#include <string>

#include "app/globals.h"
#include "app/log.h"
#include "app/navigation.h"
#include "app/settings.h"
#include "backup/backup_config.h"
#include "backup/backup_engine.h"
#include "backup/backup_menu_win32.h"
#include "backup/progress_screen_win32.h"
#include "backup/restore_files_win32.h"
#include "backup/restore_type_win32.h"
#include "backup/status_view_win32.h"
#include "backup/wizard_folders_win32.h"
#include "backup/wizard_schedule_win32.h"
#include "protocol/echo_probe.h"
#include "protocol/sockets.h"
#include "res/resource.h"
#include "setup/account_screens_win32.h"
#include "setup/completion_win32.h"
#include "setup/locate_win32.h"
#include "setup/menus_win32.h"
#include "setup/message_dialog_win32.h"
#include "setup/message_texts_win32.h"
#include "setup/note_win32.h"
#include "setup/screen_results.h"
#include "skin/resources_win32.h"
#include "sort/sort_win32.h"

namespace {

// The system's text for a code in a plain box: what is left when not even the message dialog can
// be created.
void ShowSystemBox(DWORD error) {
    std::string text = setup::WindowsMessageTexts().SystemText(error);
    if (text.empty())
        text = "Error " + std::to_string(error);
    const std::string caption = skin::LoadString(IDS_APP_TITLE);
    MessageBoxA(nullptr, text.c_str(), caption.empty() ? nullptr : caption.c_str(),
                MB_OK | MB_ICONERROR);
}

// A screen that could not be created: the log says which and why, and the system's text for the
// reason is shown in the message dialog, or in a plain box when that cannot be created either.
void ReportNotShown(const char* screen, DWORD error) {
    WriteLog(LOG_ERROR, "--- FAILED: Could not create the %s screen, error %lu", screen,
             static_cast<unsigned long>(error));
    setup::MessageDialog message;
    message.SetCode(error);
    if (message.DoModal() != setup::RESULT_NOT_SHOWN)
        return;
    WriteLog(LOG_ERROR, "--- FAILED: Could not create the message screen, error %lu",
             static_cast<unsigned long>(message.CreationError()));
    ShowSystemBox(error);
}

// Runs a screen modally; one that cannot be created is reported here, and its -1 ends the flow.
int Run(skin::Dialog& screen, const char* name) {
    const int result = screen.DoModal();
    if (result == setup::RESULT_NOT_SHOWN)
        ReportNotShown(name, screen.CreationError());
    return result;
}

// Set only by the frame's tests, which start the program outside the network lab: the flow then
// neither probes nor scans (the Locate screen answers as closed). Unset, nothing changes.
bool NetworkLeftOutForTests() {
    char value[8] = "";
    return GetEnvironmentVariableA("TOV_TEST_NO_NETWORK", value, sizeof value) > 0 &&
           value[0] == '1';
}

class WindowsScreens : public app::Screens {
public:
    int ShowMessage(const std::string& device, uint32_t code) override {
        setup::MessageDialog message;
        if (!device.empty())
            message.SetDevice(device);
        message.SetCode(code);
        const int result = message.DoModal();
        if (result == setup::RESULT_NOT_SHOWN) {
            WriteLog(LOG_ERROR, "--- FAILED: Could not create the message screen, error %lu",
                     static_cast<unsigned long>(message.CreationError()));
            ShowSystemBox(message.CreationError());
        }
        return result;
    }

    app::LocateOutcome ShowLocate() override {
        if (offline)
            return {setup::RESULT_CLOSE, "", ""};
        setup::LocateDialog locate;
        const int result = Run(locate, "Locate");
        return {result, locate.SelectedHostName(), locate.SelectedIpAddress()};
    }

    int ShowNote(const std::string& hostName, const std::string& ipAddress) override {
        setup::NoteScreen note(hostName, ipAddress);
        return Run(note, "Note");
    }

    int ShowMainMenu(const std::string& hostName, const std::string& ipAddress) override {
        setup::MainMenuScreen menu(hostName, ipAddress);
        return Run(menu, "Main menu");
    }
    int ShowDriveManagement(const std::string& hostName, const std::string& ipAddress) override {
        setup::DriveManagementScreen drives(hostName, ipAddress);
        return Run(drives, "Drive management");
    }
    int ShowSortSettings() override {
        dragsort::SortSettingsScreen settings;
        return Run(settings, "Drag and Sort settings");
    }
    int ShowFirstDragNotice() override {
        dragsort::FirstDragNotice notice;
        return Run(notice, "first-drag notice");
    }
    int ShowStatusView(const std::string& heading) override {
        backup::StatusViewScreen view(heading);
        return Run(view, "Status view");
    }
    int ShowChooseAccount(const std::string& hostName, int* type) override {
        setup::ChooseAccountScreen screen(hostName, *type);
        const int result = Run(screen, "Choose account");
        *type = screen.Function();
        return result;
    }
    app::NamePasswordOutcome ShowNamePassword(const std::string& hostName,
                                              const std::string& ipAddress, int type) override {
        setup::NamePasswordScreen screen(hostName, ipAddress, type);
        const int result = Run(screen, "Name and password");
        return {result, screen.AccountName(), screen.Password(), screen.ResultCode()};
    }
    app::PurposeOutcome ShowAccountPurpose(const std::string& hostName,
                                           const std::string& ipAddress, int type,
                                           const std::string& name,
                                           const std::string& password) override {
        setup::PurposeScreen screen(hostName, ipAddress, type, name, password);
        const int result = Run(screen, "Account purpose");
        return {result, screen.AccountName(), screen.ResultCode()};
    }
    int ShowSetupComplete(const std::string& hostName, const std::string& name, int type) override {
        setup::CompletionScreen screen(hostName, name, type);
        return Run(screen, "Setup complete");
    }
    // Screens still to come stand in with the result that leaves them at once: they go back to
    // the screen that opened them.
    int ShowBackupMenu(const std::string& hostName, const std::string& sortFolder) override {
        backup::BackupMenuScreen menu(hostName, sortFolder);
        return Run(menu, "Backup and restore menu");
    }
    int ShowBackupProgress(const std::string& hostName, const std::string& sortFolder,
                           const std::string& driveLetter) override {
        backup::BackupProgressScreen progress(hostName, sortFolder, driveLetter);
        return Run(progress, "Backup progress");
    }
    int ShowCleanUp(const std::string& hostName) override {
        backup::CleanUpScreen cleanUp(hostName);
        return Run(cleanUp, "Clean up");
    }
    int ShowRestoreType(const std::string& sortFolder) override {
        backup::RestoreTypeScreen screen(sortFolder);
        return Run(screen, "Restore type");
    }
    int ShowRestoreFiles(const std::string& driveLetter, const std::string& sortFolder) override {
        backup::RestoreFilesScreen screen(driveLetter, sortFolder);
        return Run(screen, "Restore files");
    }
    int ShowWizardFolders(const std::string& sortFolder) override {
        backup::WizardFoldersScreen folders(sortFolder);
        return Run(folders, "Backup folders");
    }
    int ShowWizardSchedule(const std::string& sortFolder,
                           const std::string& installDirectory) override {
        backup::WizardScheduleScreen schedule(sortFolder, installDirectory);
        return Run(schedule, "Backup schedule");
    }
    int ShowWizardSummary(const std::string& sortFolder,
                          const std::string& shareDriveLetter) override {
        backup::WizardSummaryScreen summary(sortFolder, shareDriveLetter);
        return Run(summary, "Backup summary");
    }
    int ShowAdvanced(const std::string& hostName) override {
        backup::AdvancedScreen advanced(hostName);
        return Run(advanced, "Advanced settings");
    }
    void SendEngineCommand(const char* command) override {
        backup::BackupEngine::SendCommand(command);
    }
    bool SelectionHasShare(const std::string& sortFolder) override {
        return backup::HasSelectionFor(backup::BackupConfig(), sortFolder);
    }
    void SnapshotSelection() override { backup::SnapshotBackupConfig(); }

    std::string ReadInstallDirectory() override { return app::InstallDirectory(); }
    int WindowsMajorVersion() override {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        GetVersionExA(&version);
        return static_cast<int>(version.dwMajorVersion);
    }

    std::string ReadSetting(const char* name) override {
        std::string text;
        AppSettings::ReadString(AppSettings::Root::CurrentUser, name, &text);
        return text;
    }

    bool StartSockets() override {
        uint32_t error = 0;
        return SocketsStart(&error);
    }
    void StopSockets() override { SocketsRelease(); }

    bool ProbeAnswers(const std::string& address) override {
        if (offline)
            return false;
        return EchoProbe().Probe(address.c_str()) == PROBE_ANSWERED;
    }

    void Wait(unsigned milliseconds) override { Sleep(milliseconds); }

private:
    static int NotYet(const char* screen, int result) {
        WriteLog(LOG_TRACE, "  %s: not in this build yet", screen);
        return result;
    }

    const bool offline = NetworkLeftOutForTests();
};

} // namespace

int ManagerApp::RunStartMode(app::StartMode mode, bool alreadyRunning) {
    WindowsScreens screens;
    app::Navigator navigator({CurrentHostName, CurrentIP, sortFolder, shareDriveLetter, shareSetup,
                              backupMenu, manage, backupNow, dashBoard},
                             screens);
    return navigator.RunStartMode(mode, alreadyRunning);
}
