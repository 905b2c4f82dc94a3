// The history levels on the appliance: moving a file's versions up one level before its current
// backup is replaced, dropping levels above a share's count, and removing whole trees.
#pragma once

#include "engine/file_system.h"

#include <functional>
#include <string>

namespace engine {

// Creates a folder and the folders above it that are missing (never a drive or share root).
FsStatus MakeFolders(FileSystem& fs, const std::string& path);

// Removes a folder with everything below it; Ok when it was not there. Links are removed, never
// followed.
FsStatus RemoveTree(FileSystem& fs, const std::string& path);

// Before the current backup of rel (below the prefix) is replaced: level levels is dropped and
// every level below it moves up by one, the current backup becoming level 2. Nothing happens when
// a share keeps one version only.
FsStatus ShiftLevels(FileSystem& fs, const std::string& prefix, const std::string& rel, int levels);

// Removes the level folders above keep below the prefix's History folder. log receives a line for
// each folder removed or left.
FsStatus PruneLevels(FileSystem& fs, const std::string& prefix, int keep,
                     const std::function<void(const std::string&)>& log);

} // namespace engine
