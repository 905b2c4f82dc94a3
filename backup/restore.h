// The rules of a restore: which versions a backed-up file has, where a version goes, the folders
// made for it, and the texts the restore pages show.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backup/platform.h"

namespace backup {

// Strings of the restore pages.
constexpr int STR_RESTORE_TYPE_TITLE = 119;
constexpr int STR_RESTORE_FILES_TITLE = 84;
constexpr int STR_RESTORING = 129;        // "Restoring file: %1%"
constexpr int STR_BACKUP_FOLDER = 62;     // "\My Backup"
constexpr int STR_TEMPORARY_FOLDER = 177; // "\TOVRestore"
constexpr int STR_RESTORE_TYPE_HELP_FILE = 220;
constexpr int STR_RESTORE_HELP_FILE = 226;
constexpr int STR_REPLACE_EXISTS = 192; // "A file named "%1" already exists in this location."
constexpr int STR_SIZE_MODIFIED = 208;  // "Size: %1\nModified: %2"
constexpr int STR_NEXT_LABEL = 3;
constexpr int STR_OPEN_LABEL = 36;

// The lowest and highest level a file's versions can lie at: 1 is the current backup, 2 to 10
// the history folders.
constexpr int kFirstLevel = 1;
constexpr int kLastLevel = 10;

// One kept version of a file: its level and what the directory search says of it.
struct FileVersion {
    int level = 0;
    FindData data;
};

// The versions of dir + "\" + name in level order; levels without the file are left out. dir is
// a folder on the appliance below a computer's backup folder.
std::vector<FileVersion> ListVersions(const std::string& dir, const std::string& name,
                                      Platform* platform = nullptr);

// The level of the version shown at a position (0-based) of the list, or 0 when there is none:
// the list holds only the levels found, so a position is not a level once one has been pruned.
int LevelAt(const std::vector<FileVersion>& versions, int position);

// Where a version of dir + "\" + name goes: with a prefix, below it with its path from the share
// root on (…\TOVRestore\My Backup\OFFICE1\C\Data\a.pst); without one (empty), its place on this
// computer (C:\Data\a.pst). Empty when dir is not below a computer's drive folder.
std::string RestoreTarget(const std::string& dir, const std::string& name,
                          const std::string& prefix, Platform* platform = nullptr);

// Creates path, creating missing parents first; makeDirectory creates one directory (true when
// it is there afterwards). Parents are not tried above the drive of a drive-letter path or the
// share of a UNC path. The result is that of the last attempt at path itself.
bool CreateDirectoryTree(const std::string& path,
                         const std::function<bool(const std::string&)>& makeDirectory);

// The size as the replace question shows it: "0 Bytes", "2 KB", "3 MB", "1 GB".
std::string SizeText(uint64_t size);

// A last-write time in local time as the replace question shows it: "Friday, March 14, 2025,
// 10:02 PM". month 1 to 12, weekday 0 (Sunday) to 6.
struct LocalTime {
    int year = 0, month = 0, day = 0, weekday = 0, hour = 0, minute = 0, second = 0;
};
std::string ModifiedText(const LocalTime& t);

// The percentage a copy has reached: 100 for an empty file, -1 (nothing to show) while no byte
// of a non-empty file has been transferred.
int ProgressPercent(uint64_t total, uint64_t transferred);

// String 129 with the percentage as three digits ("Restoring file: 040%"); the page's first text
// is the part before "%1".
std::string RestoringText(const std::string& format, int percent);
std::string TextBeforePercentOne(const std::string& format);

// The path of a folder-tree item: root (share root + "\My Backup") and the texts of the item's
// ancestors below the root and of the item itself, joined by backslashes, with the first doubled
// backslash after the first character made single.
std::string ItemPath(const std::string& root, const std::vector<std::string>& texts);

// A file's backup directory: its item path less the name and the backslash before it.
std::string DirectoryOf(const std::string& path);
std::string NameOf(const std::string& path);

// The history folder that a folder's listing leaves out: the computer's "History" when folder
// lies below (or is) a computer's backup folder, else empty.
std::string HiddenHistoryFolder(const std::string& folder, Platform* platform = nullptr);

// Whether a listed entry is a folder item, a file item, or not listed at all ("." and "..").
enum class EntryKind { Skip, Folder, File };
EntryKind ClassifyEntry(const std::string& name, uint32_t attributes);

// Whether two paths name the same file (letters compared without case, as the file system does).
bool SamePath(const std::string& a, const std::string& b);

} // namespace backup
