// The screen flow from the start mode down: which screen follows which result.
#pragma once

#include <cstdint>
#include <string>

#include "app/switches.h"

namespace app {

// What the Locate screen gives back when it closes.
struct LocateOutcome {
    int result = 0;
    std::string hostName;
    std::string ipAddress;
};

// What the Name and password screen gives back: the entered name and password, and the error
// code behind a result of 125.
struct NamePasswordOutcome {
    int result = 0;
    std::string name;
    std::string password;
    uint32_t errorCode = 0;
};

// What the Account purpose screen gives back: the account name the set-up used and the error
// code behind a result of 125.
struct PurposeOutcome {
    int result = 0;
    std::string name;
    uint32_t errorCode = 0;
};

// The set-up functions the account screens choose between.
constexpr int CREATE_EXIST = 1;
constexpr int CREATE_PUBLIC = 2;
constexpr int CREATE_PRIVATE = 3;

// The screens and services the flow runs; the Windows half builds the real screens.
class Screens {
public:
    virtual ~Screens() = default;

    // The message dialog: heading for device (none when empty) and the code; its result.
    virtual int ShowMessage(const std::string& device, uint32_t code) = 0;
    virtual LocateOutcome ShowLocate() = 0;
    virtual int ShowNote(const std::string& hostName, const std::string& ipAddress) = 0;
    virtual int ShowMainMenu(const std::string& hostName, const std::string& ipAddress) = 0;
    virtual int ShowDriveManagement(const std::string& hostName, const std::string& ipAddress) = 0;
    virtual int ShowSortSettings() = 0;
    virtual int ShowFirstDragNotice() = 0;
    // The status view, handed its heading: host name + " (" + address + ")".
    virtual int ShowStatusView(const std::string& heading) = 0;

    // The set-up chain. Choose account starts at *type and leaves the chosen type there.
    virtual int ShowChooseAccount(const std::string& hostName, int* type) = 0;
    virtual NamePasswordOutcome ShowNamePassword(const std::string& hostName,
                                                 const std::string& ipAddress, int type) = 0;
    virtual PurposeOutcome ShowAccountPurpose(const std::string& hostName,
                                              const std::string& ipAddress, int type,
                                              const std::string& name,
                                              const std::string& password) = 0;
    virtual int ShowSetupComplete(const std::string& hostName, const std::string& name,
                                  int type) = 0;

    // The backup branch.
    virtual int ShowBackupMenu(const std::string& hostName, const std::string& sortFolder) = 0;
    virtual int ShowBackupProgress(const std::string& hostName, const std::string& sortFolder,
                                   const std::string& shareDriveLetter) = 0;
    virtual int ShowCleanUp(const std::string& hostName) = 0;
    virtual int ShowRestoreType(const std::string& sortFolder) = 0;
    virtual int ShowRestoreFiles(const std::string& shareDriveLetter,
                                 const std::string& sortFolder) = 0;
    virtual int ShowWizardFolders(const std::string& sortFolder) = 0;
    virtual int ShowWizardSchedule(const std::string& sortFolder,
                                   const std::string& installDirectory) = 0;
    virtual int ShowWizardSummary(const std::string& sortFolder,
                                  const std::string& shareDriveLetter) = 0;
    virtual int ShowAdvanced(const std::string& hostName) = 0;
    // One command to the backup engine; its failures are the link's own and are not seen here.
    virtual void SendEngineCommand(const char* command) = 0;
    // The backup selection as stored now has entries for this share root.
    virtual bool SelectionHasShare(const std::string& sortFolder) = 0;
    // The selection copied over its temporary copy, which the folder page edits.
    virtual void SnapshotSelection() = 0;

    // A value of the current user's product key as stored; empty when missing.
    virtual std::string ReadSetting(const char* name) = 0;
    // The install directory as the program reads it at start-up (the default when missing).
    virtual std::string ReadInstallDirectory() = 0;
    virtual int WindowsMajorVersion() = 0;
    // Windows Sockets 2.2 for the session; false when they cannot start.
    virtual bool StartSockets() = 0;
    virtual void StopSockets() = 0;
    // One echo probe: true only when the address answered.
    virtual bool ProbeAnswers(const std::string& address) = 0;
    virtual void Wait(unsigned milliseconds) = 0;
};

// The application's fields the flow reads and writes (those of ManagerApp).
struct SessionFields {
    std::string& CurrentHostName;
    std::string& CurrentIP;
    std::string& sortFolder;
    std::string& shareDriveLetter;
    // The switch flags that choose the first screen of the Main menu's flow.
    bool& shareSetup;
    bool& backupMenu;
    bool& manage;
    bool& backupNow;
    bool& dashBoard;
};

// Pause between the missed-backup question and the session it starts.
constexpr unsigned MISSED_BACKUP_PAUSE_MILLISECONDS = 300;

// The navigation procedures; each returns the final result code of its flow, and 100 (close)
// always travels straight up.
class Navigator {
public:
    Navigator(SessionFields fields, Screens& screens) : fields(fields), screens(screens) {}

    int RunStartMode(StartMode mode, bool alreadyRunning);
    int RunSession();
    int RunLocateLoop();
    int RunApplianceSession();
    int RunMainMenu();
    int RunSetup();
    int RunDriveManagement();
    int RunBackupMenu();
    int RunBackupWizard();
    int RunRestore();

private:
    int RunBackupGate();
    int RunNamePasswordStep(int type);
    int RunAccountPurposeStep(int type, const std::string& name, const std::string& password);
    int RunCompletionStep(int type, const std::string& name);
    int RunErrorStep(uint32_t code);
    int RunStatusView();
    int RunScheduleStep(const std::string& installDirectory);
    int RunSummaryStep();
    void ReadShareSettings();

    SessionFields fields;
    Screens& screens;
    // The account type of the set-up chain, kept between visits of Choose account.
    int setupType = CREATE_PUBLIC;
};

} // namespace app
