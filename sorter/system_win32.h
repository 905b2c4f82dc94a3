// The sorter's Windows side: the file system, the product key, the language's folder names and
// the start of the first-drag notice.
#pragma once

#include <windows.h>

#include <string>

#include "sorter/sorter.h"

namespace sorter {

// The log of the sorter, beside the program's.
constexpr const char* SORTER_LOG_PATH = "c:\\ZELTOVSort.log";

class WindowsSortSystem : public SortSystem {
public:
    // Folder names come from the string table of the interface language's library, which lies
    // beside the sorter, or from the sorter's own English table.
    WindowsSortSystem();
    ~WindowsSortSystem() override;
    WindowsSortSystem(const WindowsSortSystem&) = delete;
    WindowsSortSystem& operator=(const WindowsSortSystem&) = delete;

    bool List(const std::string& folder, std::vector<RootEntry>* entries) override;
    bool MakeFolder(const std::string& path) override;
    MoveResult Move(const std::string& from, const std::string& to, bool otherShare) override;
    std::string FolderName(int stringId, const char* english) override;
    void StartFirstDragNotice() override;

private:
    MoveResult CopyAcross(const std::string& from, const std::string& to);

    HMODULE language = nullptr;
};

// The settings as they are stored now; values missing count as on, none is written.
SortConfig ReadSortConfig();

// The folder this program was started from, with a trailing backslash.
std::string OwnFolder();

} // namespace sorter
