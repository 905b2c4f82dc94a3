// What the appliance knows of its users' backups: space used below each share, and the state
// the backup engine leaves in each computer's backup folder.
#pragma once

#include <cstdint>
#include <string>

namespace appliance {

// The file the backup engine writes after each run into its destination folder on the share
// (share root + backup folder + "\" + computer name + "\"): one line, the date as MMDDYYYY, a
// tab, the state digit, CR LF.
constexpr const char* kBackupStateFile = "backup-state.txt";

// Bytes of the regular files below a folder, symbolic links not followed.
uint64_t FolderBytes(const std::string& path);

// Space as the firmware reports it: the largest of K, M and G that gives a whole number of 1 or
// more (K for less than a kilobyte), the number capped at 65535.
void SpaceInUnits(uint64_t bytes, unsigned* used, char* unit);

struct BackupState {
    std::string date; // MMDDYYYY, empty when no computer has left a state
    char state = 0;
};

// The newest state file of a share: the files kBackupStateFile two folders below it (backup
// folder, computer), the latest date winning. Files that do not hold a date and a digit count
// as none.
BackupState LatestBackupState(const std::string& shareFolder);

// True when candidate has a date later than than's (or than has none).
bool IsNewer(const BackupState& candidate, const BackupState& than);

// Reads one state file's text; false when it is not "MMDDYYYY<TAB>digit".
bool ParseBackupState(const std::string& text, BackupState* out);

} // namespace appliance
