// Where Drag and Sort's sorter is started from.
#include "sort/drag_sort.h"

namespace dragsort {

SorterLocation LocateSorter(const std::string& installDirectory) {
    if (installDirectory.empty())
        return {DEFAULT_SORTER_PATH, true};
    std::string path = installDirectory;
    if (path.back() != '\\')
        path += '\\';
    return {path + SORTER_FILE, false};
}

} // namespace dragsort
