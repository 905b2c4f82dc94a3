// The backup menu's, Advanced settings' and File Maintenance's rules.
#include "backup/backup_menu.h"

#include "app/settings_rules.h"
#include "backup/engine_commands.h"
#include "res/resource.h"
#include "setup/message_table.h"
#include "setup/screen_results.h"

namespace backup {
namespace {

struct MenuItem {
    int buttonId;
    MenuChoice choice;
};

constexpr MenuItem kBackupMenu[] = {
    {IDC_BM_SETTINGS, {setup::RESULT_BACKUP_SETTINGS, false}},
    {IDC_BM_RESTORE, {setup::RESULT_RESTORE, false}},
    {IDC_BM_STATUS, {setup::RESULT_STATUS, false}},
    {IDC_BM_CLEAN, {setup::RESULT_CLEAN_UP, false}},
    {IDC_BM_BACKUP_NOW, {setup::RESULT_BACKUP_NOW, true}},
    {IDC_BACK, {setup::RESULT_BACK, false}},
};

constexpr int STR_PLEASE_WAIT_DONE = 74;
constexpr int STR_DELETE_HISTORY = 75;
constexpr int STR_SYNC_BACKUP = 78;

} // namespace

MenuChoice ChooseBackupMenuItem(int buttonId) {
    for (const MenuItem& item : kBackupMenu) {
        if (item.buttonId == buttonId)
            return item.choice;
    }
    return {};
}

bool HasSelectionFor(const BackupConfig& selection, const std::string& shareRoot) {
    return !shareRoot.empty() && selection.HasDestinationContaining(shareRoot);
}

bool FolderTagSetting::ReadTagOn() {
    bool exists = false, read = false;
    std::vector<unsigned char> data;
    store_.Read(&exists, &read, &data);
    const AppSettings::FlagReading flag = AppSettings::ReadFlagFrom(exists, read, data, true);
    if (flag.storeOne)
        store_.Write(1);
    on_ = flag.on;
    return on_;
}

bool FolderTagSetting::WriteTagOn(bool on) {
    if (!store_.Write(on ? 1u : 0u))
        return false;
    on_ = on;
    return true;
}

std::string VersionChoiceText(int entry) { return std::to_string(entry + 1); }

int VersionChoiceFor(int32_t levels) {
    return levels >= 1 && levels <= kVersionChoices ? static_cast<int>(levels) - 1 : -1;
}

void SaveAdvancedSettings(bool tagOn, int versionsEntry, FolderTagSetting& tags,
                          VersionHistory& history, const CommandSender& send) {
    // neither failure is reported: the engine is told in any case
    tags.WriteTagOn(tagOn);
    if (versionsEntry >= 0 && versionsEntry < kVersionChoices && !history.ShareRoot().empty())
        history.SetLevels(versionsEntry + 1);
    send(ENGINE_FORCE_CHANGE);
}

std::string CleanCommand(const VersionHistory& history) {
    if (history.BackupRoot().empty())
        return "";
    return ENGINE_CLEAN_PREFIX + history.BackupRoot();
}

int RunCleanUpOperation(CleanUpOperation operation, CleanUpPage& page) {
    const bool sync = operation == CleanUpOperation::SyncBackup;
    const int answer = page.Confirm(sync ? setup::MSG_SYNC_BACKUP : setup::MSG_DELETE_HISTORY);
    if (answer == setup::RESULT_CLOSE)
        return setup::RESULT_CLOSE;
    if (answer != setup::RESULT_YES)
        return 0;
    const std::string command = sync ? page.SyncCommand() : std::string(ENGINE_CLEAN_ALL);
    return page.RunPleaseWait(command) == setup::RESULT_CLOSE ? setup::RESULT_CLOSE : 0;
}

int PleaseWait::TitleString() const {
    return command_.find(ENGINE_CLEAN_ALL) != std::string::npos ? STR_DELETE_HISTORY
                                                                : STR_SYNC_BACKUP;
}

void PleaseWait::Started(bool timer) {
    if (!timer)
        Finish();
}

void PleaseWait::Tick(unsigned timerId) {
    if (timerId != kPleaseWaitTimerId || done_)
        return;
    view_.StopTicking();
    if (!command_.empty())
        view_.Send(command_);
    Finish();
}

void PleaseWait::Finish() {
    done_ = true;
    view_.SetBody(STR_PLEASE_WAIT_DONE);
    view_.EnableOk();
}

} // namespace backup
