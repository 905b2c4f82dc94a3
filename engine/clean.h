// "clean": removes from a computer's backup the files and folders whose source on this computer
// is gone, at every history level. A source it cannot see is never taken for a gone one.
#pragma once

#include "engine/file_system.h"

#include <functional>
#include <string>

namespace engine {

struct CleanCounts {
    int removed = 0; // files and folders removed (a folder counts once)
    int kept = 0;    // folders kept because their source could not be looked at
    int failed = 0;  // removals that failed
};

// prefix: the computer's destination prefix (ending in a backslash).
CleanCounts CleanBackup(FileSystem& fs, const std::string& prefix,
                        const std::function<void(const std::string&)>& log);

// Whether a "clean" argument is a destination prefix of this computer: a UNC path below a share
// whose last folder is the computer's name, ending in a backslash.
bool AcceptablePrefix(const std::string& prefix, const std::string& computer);

} // namespace engine
