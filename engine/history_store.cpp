// The history levels on the appliance.
#include "engine/history_store.h"

#include "engine/paths.h"

#include <vector>

namespace engine {

namespace {

std::string ParentOf(const std::string& path) {
    const size_t at = path.find_last_of('\\');
    return at == std::string::npos ? "" : path.substr(0, at);
}

bool IsRoot(const std::string& path) {
    if (path.size() == 2 && path[1] == ':')
        return true;
    const std::string share = ShareRootOf(path);
    return !share.empty() && path.size() <= share.size();
}

} // namespace

FsStatus MakeFolders(FileSystem& fs, const std::string& path) {
    FsStatus s = fs.MakeFolder(path);
    if (s != FsStatus::NotFound)
        return s;
    const std::string parent = ParentOf(path);
    if (parent.empty() || IsRoot(parent) || parent.size() <= 2)
        return s;
    s = MakeFolders(fs, parent);
    if (s != FsStatus::Ok)
        return s;
    return fs.MakeFolder(path);
}

FsStatus RemoveTree(FileSystem& fs, const std::string& path) {
    std::vector<DirEntry> entries;
    FsStatus s = fs.List(path, &entries);
    if (s == FsStatus::NotFound)
        return FsStatus::Ok;
    if (s != FsStatus::Ok)
        return s;
    for (const DirEntry& e : entries) {
        const std::string child = Join(path, e.name);
        if (e.directory && !e.link)
            s = RemoveTree(fs, child);
        else
            s = e.directory ? fs.RemoveFolder(child) : fs.RemoveFile(child);
        if (s != FsStatus::Ok && s != FsStatus::NotFound)
            return s;
    }
    s = fs.RemoveFolder(path);
    return s == FsStatus::NotFound ? FsStatus::Ok : s;
}

FsStatus ShiftLevels(FileSystem& fs, const std::string& prefix, const std::string& rel,
                     int levels) {
    if (levels <= 1)
        return FsStatus::Ok;
    FsStatus s = fs.RemoveFile(LevelPath(prefix, levels, rel));
    if (s != FsStatus::Ok && s != FsStatus::NotFound)
        return s;
    for (int k = levels - 1; k >= 1; --k) {
        const std::string from = LevelPath(prefix, k, rel);
        DirEntry e;
        s = fs.Stat(from, &e);
        if (s == FsStatus::NotFound || (s == FsStatus::Ok && e.directory))
            continue;
        if (s != FsStatus::Ok)
            return s;
        const std::string to = LevelPath(prefix, k + 1, rel);
        s = MakeFolders(fs, ParentOf(to));
        if (s == FsStatus::Ok)
            s = fs.Rename(from, to);
        if (s != FsStatus::Ok)
            return s;
    }
    return FsStatus::Ok;
}

FsStatus PruneLevels(FileSystem& fs, const std::string& prefix, int keep,
                     const std::function<void(const std::string&)>& log) {
    const std::string history = Join(prefix, kHistoryFolder);
    std::vector<DirEntry> entries;
    FsStatus s = fs.List(history, &entries);
    if (s == FsStatus::NotFound)
        return FsStatus::Ok;
    if (s != FsStatus::Ok) {
        log("  --- FAILED: cannot list " + history + " (" + StatusText(s) + ")");
        return s;
    }
    FsStatus result = FsStatus::Ok;
    for (const DirEntry& e : entries) {
        const int level = LevelNumber(e.name);
        if (!e.directory || level <= keep)
            continue;
        const std::string folder = Join(history, e.name);
        s = RemoveTree(fs, folder);
        if (s == FsStatus::Ok) {
            log("  Removed " + folder);
        } else {
            log("  --- FAILED: cannot remove " + folder + " (" + StatusText(s) + ")");
            result = s;
        }
    }
    return result;
}

} // namespace engine
