// Process-wide values that start-up sets once and the rest of the program reads.
#pragma once

#include <string>

namespace app {

// Interface language name: "English" until start-up replaces it with the trimmed "Language"
// value (which may be empty). Screens compare it with "Japanese" to choose fonts.
const std::string& LanguageName();
void SetLanguageName(const std::string& name);

// Used when "installDirectory" is missing or blank.
constexpr const char* DEFAULT_INSTALL_DIRECTORY = "C:\\Program Files\\Kelvox\\Kelvox Lumora";

// Folder of the installed program files, from "installDirectory" or its default.
const std::string& InstallDirectory();
void SetInstallDirectory(const std::string& dir);

// "-firstDrag" was given.
bool FirstDrag();
void SetFirstDrag(bool on);

} // namespace app
