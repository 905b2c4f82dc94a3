// "clean": the backup kept in step with what this computer still has.
#include "engine/clean.h"

#include "engine/history_store.h"
#include "engine/paths.h"

#include <map>
#include <vector>

namespace engine {

namespace {

class Cleaner {
public:
    Cleaner(FileSystem& fs, const std::function<void(const std::string&)>& log)
        : fs_(fs), log_(log) {}

    // One level's tree: its top folders are drive letters.
    void CleanLevel(const std::string& root) {
        std::vector<DirEntry> tops;
        FsStatus s = fs_.List(root, &tops);
        if (s != FsStatus::Ok) {
            if (s != FsStatus::NotFound) {
                log_("  --- FAILED: cannot list " + root + " (" + StatusText(s) + ")");
                ++counts_.failed;
            }
            return;
        }
        for (const DirEntry& t : tops) {
            const std::string local = LocalPathForRel(t.name);
            if (!t.directory || t.name.size() != 1 || local.empty())
                continue;
            const std::string backup = Join(root, t.name);
            if (!fs_.DrivePresent(t.name[0])) {
                Keep(backup, "drive " + local.substr(0, 2) + " is not there");
                continue;
            }
            CleanFolder(backup, local);
        }
    }

    CleanCounts counts_;

private:
    void Keep(const std::string& backup, const std::string& why) {
        log_("  Kept " + backup + ": " + why);
        ++counts_.kept;
    }

    void CleanFolder(const std::string& backup, const std::string& local) {
        std::vector<DirEntry> here;
        FsStatus s = fs_.List(local, &here);
        if (s != FsStatus::Ok) {
            // a folder that cannot be listed (or that vanished while we looked) is unknown
            Keep(backup, "cannot list " + local + " (" + StatusText(s) + ")");
            return;
        }
        std::vector<DirEntry> backed;
        s = fs_.List(backup, &backed);
        if (s != FsStatus::Ok) {
            log_("  --- FAILED: cannot list " + backup + " (" + StatusText(s) + ")");
            ++counts_.failed;
            return;
        }
        std::map<std::string, DirEntry> present;
        for (const DirEntry& e : here)
            present[Lower(e.name)] = e;
        for (const DirEntry& b : backed) {
            const std::string path = Join(backup, b.name);
            auto it = present.find(Lower(b.name));
            if (it != present.end()) {
                if (b.directory && it->second.directory && !b.link)
                    CleanFolder(path, Join(local, b.name));
                continue;
            }
            s = b.directory ? RemoveTree(fs_, path) : fs_.RemoveFile(path);
            if (s == FsStatus::Ok) {
                log_("  Removed " + path + ": " + Join(local, b.name) + " is gone");
                ++counts_.removed;
            } else {
                log_("  --- FAILED: cannot remove " + path + " (" + StatusText(s) + ")");
                ++counts_.failed;
            }
        }
    }

    FileSystem& fs_;
    const std::function<void(const std::string&)>& log_;
};

} // namespace

CleanCounts CleanBackup(FileSystem& fs, const std::string& prefix,
                        const std::function<void(const std::string&)>& log) {
    Cleaner cleaner(fs, log);
    const std::string root = WithoutTrailingSlash(prefix);
    cleaner.CleanLevel(root);
    std::vector<DirEntry> levels;
    const std::string history = Join(root, kHistoryFolder);
    if (fs.List(history, &levels) == FsStatus::Ok) {
        for (const DirEntry& l : levels) {
            if (l.directory && LevelNumber(l.name) > 0)
                cleaner.CleanLevel(Join(history, l.name));
        }
    }
    return cleaner.counts_;
}

bool AcceptablePrefix(const std::string& prefix, const std::string& computer) {
    if (prefix.empty() || prefix.back() != '\\' || computer.empty())
        return false;
    const std::string share = ShareRootOf(prefix);
    if (share.empty())
        return false;
    std::string rest = prefix.substr(share.size());
    while (!rest.empty() && rest.back() == '\\')
        rest.pop_back();
    // the computer's folder lies below the share (and below the backup folder when there is one)
    if (rest.empty() || (rest + "\\").find("\\..\\") != std::string::npos ||
        (rest + "\\").find("\\.\\") != std::string::npos)
        return false;
    return SameName(LastComponent(rest), computer) && rest.size() > computer.size();
}

} // namespace engine
