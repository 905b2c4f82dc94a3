// The Backup and restore menu, the Advanced settings and File Maintenance pages apart from their
// windows: what each button does, the folder-tag switch, the kept-versions list and the commands.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backup/backup_config.h"
#include "backup/version_history.h"

namespace backup {

// One text command to the backup engine (engine_commands.h).
using CommandSender = std::function<void(const char* command)>;

// ---- Backup and restore menu (580)

// What a button of the menu does: the result the menu ends with (0: the id is none of its
// buttons), and whether "backup" is sent first.
struct MenuChoice {
    int result = 0;
    bool sendsBackup = false;
};
MenuChoice ChooseBackupMenuItem(int buttonId);

// Whether the selection holds folders for this share root: entries of other appliances' shares do
// not count, nor does an empty root. Back Up Now is enabled only then, and the wizard opens at
// its summary.
bool HasSelectionFor(const BackupConfig& selection, const std::string& shareRoot);

// ---- Folder tags

// Where the folder-tag switch "tagOn" is kept: the current user's product key.
class TagStore {
public:
    virtual ~TagStore() = default;
    // The value as stored: exists is false when the key or the value is missing, read is false
    // when its bytes could not be had after its size was.
    virtual void Read(bool* exists, bool* read, std::vector<unsigned char>* data) = 0;
    // Creates or opens the key with full access and sets the DWORD; false when that failed.
    virtual bool Write(uint32_t value) = 0;
};

class FolderTagSetting {
public:
    explicit FolderTagSetting(TagStore& store) : store_(store), on_(ReadTagOn()) {}

    // The switch as stored (all four bytes count); a missing one is on and stored as 1 at once.
    bool ReadTagOn();
    // Stores 1 or 0; the value is remembered only when the store took it.
    bool WriteTagOn(bool on);
    bool On() const { return on_; }

private:
    TagStore& store_;
    bool on_;
};

// ---- Advanced settings (584)

// The kept-versions list: "1" to "10".
constexpr int kVersionChoices = 10;
std::string VersionChoiceText(int entry);
// The entry that shows a number of kept versions; -1 when the list has none for it.
int VersionChoiceFor(int32_t levels);

// Save: the folder-tag switch, the kept versions of the entry (index + 1) and then
// "settings force_change", which is sent whatever the writes gave. With no entry chosen (-1)
// the kept versions stay as they are, and a history without a share root writes nothing.
void SaveAdvancedSettings(bool tagOn, int versionsEntry, FolderTagSetting& tags,
                          VersionHistory& history, const CommandSender& send);

// ---- File Maintenance (596) and the please-wait page (642)

// "clean " and the backup root of this computer (ending in a backslash); empty when the history
// has no root (the settings lack the share), so that nothing is sent.
std::string CleanCommand(const VersionHistory& history);

enum class CleanUpOperation { DeleteHistory, SyncBackup };

// What the File Maintenance page needs for an operation.
class CleanUpPage {
public:
    virtual ~CleanUpPage() = default;
    // The message dialog for a question code; its result (128 Yes).
    virtual int Confirm(uint32_t code) = 0;
    // The please-wait page running the command; its result.
    virtual int RunPleaseWait(const std::string& command) = 0;
    // The Sync command, built when it is confirmed.
    virtual std::string SyncCommand() = 0;
};

// Asks, and on Yes runs the operation's command on the please-wait page. The result the page ends
// with: 100 when the close button ended one of them, otherwise 0 (it stays open).
int RunCleanUpOperation(CleanUpOperation operation, CleanUpPage& page);

constexpr unsigned kPleaseWaitTimerId = 1;
constexpr unsigned kPleaseWaitTimerMs = 100;

// The please-wait page's window.
class PleaseWaitView {
public:
    virtual ~PleaseWaitView() = default;
    virtual void SetBody(int stringId) = 0;
    virtual void EnableOk() = 0;
    virtual void StopTicking() = 0;
    // Synchronous: returns when the engine has answered.
    virtual void Send(const std::string& command) = 0;
};

class PleaseWait {
public:
    PleaseWait(std::string command, PleaseWaitView& view)
        : command_(std::move(command)), view_(view) {}

    // The title's string: "Delete Historical Versions" for "settings clean_all", otherwise
    // "Sync Backup to Computer".
    int TitleString() const;
    // After the start: without a timer the command is never sent and OK comes at once.
    void Started(bool timer);
    // The first tick of timer 1 sends the command (an empty one is not sent); later ticks do
    // nothing.
    void Tick(unsigned timerId);
    bool Done() const { return done_; }

private:
    void Finish();

    std::string command_;
    PleaseWaitView& view_;
    bool done_ = false;
};

} // namespace backup
