// Drag and Sort's rules apart from its screens: where the sorter lies, what Enter presses.
#pragma once

#include <string>

namespace dragsort {

constexpr int STR_HELP_FILE = 225; // "\drag_sort.chm"
constexpr int STR_ON = 109;
constexpr int STR_OFF = 110;
constexpr int STR_PRIVATE = 147;
constexpr int STR_PUBLIC = 148;
constexpr int STR_ENABLE = 57;

constexpr const char* SORTER_FILE = "tovsort.exe";
// Where the sorter is looked for when the install directory is not known.
constexpr const char* DEFAULT_SORTER_PATH = "C:\\Program Files\\Kelvox\\Kelvox Lumora\\tovsort.exe";

struct SorterLocation {
    std::string path;
    bool unknownDirectory = false; // the default path is used: the user is told
};

// The sorter in the install directory (trimmed "installDirectory"). The installer writes it with
// a trailing backslash; one is put in when it lacks it, so that the path stays a path.
SorterLocation LocateSorter(const std::string& installDirectory);

// The settings screen's Enter: Back when Back has the focus, otherwise Save.
enum class SettingsButton { Back, Save };
inline SettingsButton SettingsEnterButton(bool backFocused) {
    return backFocused ? SettingsButton::Back : SettingsButton::Save;
}

} // namespace dragsort
