// One share's backup run: what to copy, copied under temporary names, with the history levels
// moved before a changed file's backup is replaced.
#pragma once

#include "engine/file_system.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// The part of the selection that goes to one destination prefix.
struct ShareSelection {
    std::string shareRoot;             // \\server\share
    std::string prefix;                // share root + backup folder + "\" + computer + "\"
    std::vector<std::string> included; // folders backed up with everything below them
    std::vector<std::string> excluded; // folders left out below an included one
};

struct RunCounts {
    int32_t filesCopied = 0;
    uint64_t bytesCopied = 0;
    int32_t unchanged = 0;
    int32_t skipped = 0;
};

// The digits the status view and the appliance know.
enum class RunState { Complete = 0, Failed = 1, Incomplete = 2 };

struct ShareResult {
    RunState state = RunState::Complete;
    bool cancelled = false;
    RunCounts counts;
    std::string firstSkipped; // the first file or folder skipped, for the user's notice
};

class RunHooks {
public:
    virtual ~RunHooks() = default;
    virtual bool Cancelled() = 0;
    virtual void Log(const std::string& line) = 0;
    // The totals of the whole run so far, the folder being read and the file being copied.
    virtual void Progress(const RunCounts& total, const std::string& folder,
                          const std::string& file) = 0;
    // A temporary name is about to be created in this folder (the first time for each folder).
    virtual void TempFolder(const std::string& folder) = 0;
};

// Last-write times closer than this count as equal: the appliance's file systems keep times to
// two seconds on some volumes.
constexpr uint64_t kTimeSlack = 20000000;

// Copies the share's selection. total carries the counts of the whole run across shares.
ShareResult RunShare(FileSystem& fs, const ShareSelection& share, int levels, RunHooks& hooks,
                     RunCounts* total);

} // namespace engine
