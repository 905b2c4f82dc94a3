// Path arithmetic of the backup layout: share roots, destination prefixes, history levels and
// the engine's temporary names. Pure text, no file system.
#pragma once

#include <string>

namespace engine {

// Highest history level the client offers (level 1 is the current backup).
constexpr int kMaxLevels = 10;
// Suffix of a file the engine is still writing; never a finished backup.
constexpr const char* kTempSuffix = ".tovpart";
constexpr const char* kStateFileName = "backup-state.txt";
constexpr const char* kHistoryFolder = "History";

std::string Lower(const std::string& text);
bool SameName(const std::string& a, const std::string& b);
// a begins with b, compared without regard to case.
bool StartsWithNoCase(const std::string& a, const std::string& b);

// a + "\" + b, with one backslash between them.
std::string Join(const std::string& a, const std::string& b);
// The path without a trailing backslash (a drive root keeps its own: "C:\").
std::string WithoutTrailingSlash(const std::string& path);
std::string WithTrailingSlash(const std::string& path);
// The text after the last backslash.
std::string LastComponent(const std::string& path);

// "\\server\share" of a UNC path, or empty when the path is not one.
std::string ShareRootOf(const std::string& path);
// The appliance account a share belongs to: the last part of its root.
std::string AccountOf(const std::string& shareRoot);
// The source with every ":" removed, as it appears below the destination prefix.
std::string StripColons(const std::string& source);
// The destination prefix (ending in a backslash) that a selection entry implies: its
// destination less the source without colons. Empty when the destination does not end so.
std::string PrefixOf(const std::string& source, const std::string& destination);

// Where the version of level n of the file at rel (below the prefix) lies: level 1 is the
// current backup itself, levels 2 and up lie in History\LevelN.
std::string LevelPath(const std::string& prefix, int level, const std::string& rel);
std::string LevelFolder(const std::string& prefix, int level);

bool IsTempName(const std::string& name);
std::string TempPathFor(const std::string& path);

// The path on this computer that a path below the prefix came from: its first component is the
// drive letter. Empty when rel does not start with a single letter.
std::string LocalPathForRel(const std::string& rel);

// "LevelN" with 2 <= N: N, else 0.
int LevelNumber(const std::string& folderName);

} // namespace engine
