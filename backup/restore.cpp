// The rules of a restore: versions, targets, folders, and the texts of the restore pages.
#include "backup/restore.h"

#include <cctype>
#include <cstdio>
#include <ctime>

#include "backup/version_history.h"

namespace backup {

namespace {

Platform& Use(Platform* platform) { return platform ? *platform : DefaultPlatform(); }

// Positions of every backslash character (not a second byte of a multibyte character).
std::vector<size_t> Backslashes(const LeadBytes& codePage, const std::string& text) {
    std::vector<size_t> at;
    for (size_t i = 0; i < text.size(); i = codePage.CharEnd(text, i)) {
        if (text[i] == '\\')
            at.push_back(i);
    }
    return at;
}

} // namespace

std::vector<FileVersion> ListVersions(const std::string& dir, const std::string& name,
                                      Platform* platform) {
    ShareVersionHistory history(dir, &Use(platform));
    const std::string path = dir + '\\' + name;
    std::vector<FileVersion> versions;
    // without a computer folder above it a file has no history folders to look in
    const int last = history.BackupRoot().empty() ? kFirstLevel : kLastLevel;
    for (int level = kFirstLevel; level <= last; ++level) {
        FileVersion v;
        v.level = level;
        if (history.VersionExists(path, level, &v.data) && !(v.data.attributes & kAttrDirectory))
            versions.push_back(v);
    }
    return versions;
}

int LevelAt(const std::vector<FileVersion>& versions, int position) {
    if (position < 0 || static_cast<size_t>(position) >= versions.size())
        return 0;
    return versions[static_cast<size_t>(position)].level;
}

std::string RestoreTarget(const std::string& dir, const std::string& name,
                          const std::string& prefix, Platform* platform) {
    ShareVersionHistory history(dir, &Use(platform));
    if (!prefix.empty()) {
        if (!history.ShareRoot().empty())
            return history.Rebase(prefix, dir) + '\\' + name;
        // a file beside the computers' folders: the share root is the path's first four parts
        const int end = Use(platform).CodePage().NthBackslash(dir, 4);
        if (end < 0)
            return std::string();
        return prefix + dir.substr(static_cast<size_t>(end)) + '\\' + name;
    }
    // the folder below the computer's must be a drive letter's: "...\OFFICE1\C" or "...\C\..."
    const std::string& root = history.BackupRoot();
    if (root.empty() || dir.size() < root.size() + 2 || dir[root.size()] != '\\' ||
        !std::isalpha(static_cast<unsigned char>(dir[root.size() + 1])) ||
        (dir.size() > root.size() + 2 && dir[root.size() + 2] != '\\'))
        return std::string();
    return history.LocalPathFor(dir) + '\\' + name;
}

bool CreateDirectoryTree(const std::string& path,
                         const std::function<bool(const std::string&)>& makeDirectory) {
    if (makeDirectory(path))
        return true;
    const std::vector<size_t> at = Backslashes(DefaultPlatform().CodePage(), path);
    if (at.empty())
        return false;
    const std::string parent = path.substr(0, at.back());
    const size_t minimum = path.size() > 1 && path[1] == ':' ? 1 : 4;
    // the parent's own backslashes are all but the last one of path
    if (at.size() - 1 < minimum)
        return false;
    CreateDirectoryTree(parent, makeDirectory);
    return makeDirectory(path);
}

std::string SizeText(uint64_t size) {
    if (size == 0)
        return "0 Bytes";
    const uint64_t gb = (size + (uint64_t(1) << 29)) >> 30;
    if (gb)
        return std::to_string(gb) + " GB";
    const uint64_t mb = (size + (uint64_t(1) << 19)) >> 20;
    if (mb)
        return std::to_string(mb) + " MB";
    const uint64_t kb = (size + 512) >> 10;
    if (kb)
        return std::to_string(kb) + " KB";
    return std::to_string(size) + " Bytes";
}

std::string ModifiedText(const LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_wday = t.weekday;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    char date[80] = "", time[40] = "";
    std::strftime(date, sizeof date, "%A, %B %d, %Y", &tm);
    std::strftime(time, sizeof time, "%I:%M %p", &tm);
    return std::string(date) + ", " + time;
}

int ProgressPercent(uint64_t total, uint64_t transferred) {
    if (total == 0)
        return 100;
    if (transferred == 0)
        return -1;
    if (transferred >= total)
        return 100;
    // a 64-bit product: sizes stay far below 2^57 bytes
    return static_cast<int>(transferred * 100 / total);
}

std::string RestoringText(const std::string& format, int percent) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", percent);
    const size_t at = format.find("%1");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + digits + format.substr(at + 2);
}

std::string TextBeforePercentOne(const std::string& format) {
    const size_t at = format.find("%1");
    return at == std::string::npos ? format : format.substr(0, at);
}

std::string ItemPath(const std::string& root, const std::vector<std::string>& texts) {
    std::string path = root;
    for (const std::string& t : texts)
        path += '\\' + t;
    const size_t doubled = path.find("\\\\", 1);
    if (doubled != std::string::npos)
        path.erase(doubled, 1);
    return path;
}

std::string DirectoryOf(const std::string& path) {
    const std::vector<size_t> at = Backslashes(DefaultPlatform().CodePage(), path);
    return at.empty() ? std::string() : path.substr(0, at.back());
}

std::string NameOf(const std::string& path) {
    const std::vector<size_t> at = Backslashes(DefaultPlatform().CodePage(), path);
    return at.empty() ? path : path.substr(at.back() + 1);
}

std::string HiddenHistoryFolder(const std::string& folder, Platform* platform) {
    ShareVersionHistory history(folder, &Use(platform));
    std::string hidden;
    if (!history.HistoryFolder(&hidden))
        return std::string();
    return hidden;
}

EntryKind ClassifyEntry(const std::string& name, uint32_t attributes) {
    if (name == "." || name == "..")
        return EntryKind::Skip;
    return (attributes & kAttrDirectory) ? EntryKind::Folder : EntryKind::File;
}

bool SamePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace backup
