// One look at the mapped drive's root: every settled file of a known type moves into its category
// folder; the rest stays and is looked at again.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sorter/sort_rules.h"

namespace sorter {

// The sorter's settings as the product key holds them at the time of a look.
struct SortConfig {
    bool enabled = true;      // "EnableSort"
    bool sortMyFolder = true; // "SortMyFolder": the user's "My" folders, else the public "Our" ones
    // "businessSort"; when the value is missing the root's business marker decides
    enum class Account { Unknown, Home, Business } account = Account::Unknown;
    std::string root;            // "shareDriveLetter", such as "X:"
    std::string publicFolder;    // "PublicSortFolder", such as "\\NAS1\Public"
    bool firstDragShown = false; // "FirstDrag" reads "FALSE"
};

enum class MoveResult {
    Moved,
    Taken, // the target name exists; nothing was changed
    Busy,  // another handle has the file open; nothing was changed
    Failed,
};

// What the sorter needs from the system; the Windows half implements it, tests fake it.
class SortSystem {
public:
    virtual ~SortSystem() = default;
    // The entries of a folder, without "." and ".."; false when it cannot be listed.
    virtual bool List(const std::string& folder, std::vector<RootEntry>* entries) = 0;
    // Creates the folder when it is missing; false when it is not there afterwards.
    virtual bool MakeFolder(const std::string& path) = 0;
    // Moves a file whole, never replacing a file at `to`. A move to another share copies the
    // file and removes the original only once the copy is complete.
    virtual MoveResult Move(const std::string& from, const std::string& to, bool otherShare) = 0;
    // A category folder's localised name ("\My Photos"), or the English one.
    virtual std::string FolderName(int stringId, const char* english) = 0;
    // Starts tovManager.exe "-firstDrag".
    virtual void StartFirstDragNotice() = 0;
};

struct PassOutcome {
    bool listed = false; // the root could be listed
    int moved = 0;
    bool waiting = false; // files wait to settle or to be closed: look again soon
};

class Sorter {
public:
    explicit Sorter(SortSystem& system, uint64_t settleMs = SETTLE_MILLISECONDS)
        : system(system), watch(settleMs) {}

    PassOutcome Pass(const SortConfig& config, uint64_t nowMs);

private:
    // Sorts one settled file; true when it moved, sets waiting when it is to be tried again.
    bool SortFile(const RootEntry& entry, const SortConfig& config, bool business, bool* waiting);
    // The root's own category folders, which are no news in the log.
    bool IsCategoryFolder(const std::string& name);
    // Logs a file's state once, until the file gets another state or leaves the root.
    void Report(const std::string& name, const std::string& state, const std::string& line);
    // Logs the root's state (no drive, not reachable, watched) when it changes.
    void ReportState(const std::string& line);

    SortSystem& system;
    SettleWatch watch;
    std::map<std::string, std::string> reported;
    std::string rootState;
    std::vector<std::string> categoryFolders; // lower case, without the backslash
    bool enabledSeen = true;
    bool sortedOnce = false;
};

} // namespace sorter
