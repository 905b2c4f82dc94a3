// The engine's commands over the system it is given: the backup of every configured share, the
// history settings and the clean-up. Everything here is portable; the Windows server supplies
// the host.
#pragma once

#include "backup/app_data_file.h"
#include "backup/backup_config.h"
#include "backup/progress_record.h"
#include "engine/backup_run.h"
#include "engine/file_system.h"

#include <functional>
#include <string>
#include <vector>

namespace engine {

class EngineHost {
public:
    virtual ~EngineHost() = default;
    // The shares and the local disks.
    virtual FileSystem& Files() = 0;
    // The data files ("KelBackConfig.txt", "histKel.txt").
    virtual backup::Platform& DataFiles() = 0;
    // A line of the log of one appliance account.
    virtual void Log(const std::string& account, const std::string& line) = 0;
    // A new state of the progress record; force: publish now, not only when due.
    virtual void Publish(const backup::ProgressRecord& record, bool force) = 0;
    virtual bool Cancelled() = 0;
    virtual std::string Today() = 0; // "MMDDYYYY"
    virtual std::string ComputerName() = 0;
    // A local file naming the folders in which a run may have left temporary names.
    virtual std::string JournalPath() = 0;
};

enum class CommandKind { Backup, Cancel, Reschedule, ForceChange, CleanAll, Clean, Unknown };

struct Command {
    CommandKind kind = CommandKind::Unknown;
    std::string argument; // the prefix of "clean "
};

// The command in text, which holds length bytes including its terminating zero; a length that
// does not fit is not trusted beyond the first zero.
Command ParseCommand(const char* text, int length);

// The shares of the selection: included (flag 0) and excluded (flag 1) folders grouped by their
// destination prefix. Entries that fit no prefix are reported and left out.
std::vector<ShareSelection> BuildSelections(const std::vector<backup::BackupEntry>& entries,
                                            const std::function<void(const std::string&)>& problem);

// The kept versions of a share: its "histKel.txt" value (looked up exactly, then without regard
// to case), 5 without one, kept within 1 and 10.
int LevelsFor(backup::Platform& data, const std::string& shareRoot);

// How one share's part of a run ended.
struct ShareOutcome {
    std::string shareRoot; // \\server\share
    RunState state = RunState::Complete;
    bool cancelled = false;
    bool unreachable = false; // the share could not be reached at the start: nothing was copied
    RunCounts counts;
    std::string firstSkipped;
};

struct RunSummary {
    RunState state = RunState::Complete;
    bool cancelled = false;
    RunCounts counts;
    int shares = 0;
    std::vector<ShareOutcome> outcomes; // one per share, in the selection's order
};

// The whole "backup": temporary names left by a run that was ended are removed first, then every
// share of the selection is backed up; each share's log records the run and each reachable
// share gets its "backup-state.txt". The record's run number is kept; the rest is the engine's.
RunSummary RunBackup(EngineHost& host, backup::ProgressRecord* record);

// "settings force_change", "settings clean_all" and "clean PREFIX".
void ForceChange(EngineHost& host);
void CleanAll(EngineHost& host);
void CleanPrefix(EngineHost& host, const std::string& prefix);

// The one line of "backup-state.txt".
std::string StateLine(const std::string& date, RunState state);

} // namespace engine
