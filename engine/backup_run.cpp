// One share's backup run.
#include "engine/backup_run.h"

#include "engine/history_store.h"
#include "engine/paths.h"

#include <algorithm>
#include <map>
#include <set>

namespace engine {

namespace {

// Large enough for the disks' speed, small enough that a cancel is seen within a fraction of a
// second even on a slow network.
constexpr size_t kChunk = 1024 * 1024;

std::string Reason(FsStatus s) { return StatusText(s); }

class ShareRun {
public:
    ShareRun(FileSystem& fs, const ShareSelection& share, int levels, RunHooks& hooks,
             RunCounts* total)
        : fs_(fs), share_(share), levels_(levels), hooks_(hooks), total_(total), buffer_(kChunk) {}

    ShareResult Run() {
        std::vector<std::string> roots = share_.included;
        std::sort(roots.begin(), roots.end());
        roots.erase(
            std::unique(roots.begin(), roots.end(),
                        [](const std::string& a, const std::string& b) { return SameName(a, b); }),
            roots.end());
        FsStatus s = MakeFolders(fs_, WithoutTrailingSlash(share_.prefix));
        if (s != FsStatus::Ok) {
            Lost("cannot create " + share_.prefix, s);
        }
        for (const std::string& root : roots) {
            if (stopped())
                break;
            BackUpRoot(root);
        }
        if (result_.cancelled && result_.state == RunState::Complete)
            result_.state = RunState::Incomplete;
        return result_;
    }

private:
    bool stopped() {
        if (!result_.cancelled && hooks_.Cancelled())
            result_.cancelled = true;
        return result_.cancelled || failed_;
    }

    // The destination went away: this share's run ends as failed.
    void Lost(const std::string& what, FsStatus s) {
        if (failed_)
            return;
        hooks_.Log("  --- FAILED: " + what + " (" + Reason(s) + ")");
        failed_ = true;
        result_.state = RunState::Failed;
    }

    void Skip(const std::string& path, const std::string& reason) {
        hooks_.Log("  Skipped " + path + ": " + reason);
        if (result_.firstSkipped.empty())
            result_.firstSkipped = path;
        ++result_.counts.skipped;
        ++total_->skipped;
        if (result_.state == RunState::Complete)
            result_.state = RunState::Incomplete;
    }

    // A failure on the destination: a lost share ends the run, anything else skips the file.
    void DestinationFailed(const std::string& source, const std::string& what, FsStatus s) {
        if (s == FsStatus::Unreachable)
            Lost(what, s);
        else
            Skip(source, what + " (" + Reason(s) + ")");
    }

    bool Excluded(const std::string& path) const {
        for (const std::string& e : share_.excluded) {
            if (SameName(WithoutTrailingSlash(e), path))
                return true;
        }
        return false;
    }

    bool OtherRoot(const std::string& path) const {
        for (const std::string& r : share_.included) {
            if (SameName(WithoutTrailingSlash(r), path))
                return true;
        }
        return false;
    }

    void BackUpRoot(const std::string& root) {
        const std::string source = WithoutTrailingSlash(root);
        std::string rel = StripColons(source);
        while (!rel.empty() && rel.back() == '\\')
            rel.pop_back();
        if (source.size() >= 2 && source[1] == ':' && !fs_.DrivePresent(source[0])) {
            Skip(source, "the drive is not there");
            return;
        }
        if (Excluded(source))
            return;
        Walk(source, rel);
    }

    void Walk(const std::string& source, const std::string& rel) {
        std::vector<DirEntry> sources;
        FsStatus s = fs_.List(source, &sources);
        if (s != FsStatus::Ok) {
            Skip(source, "cannot list the folder (" + Reason(s) + ")");
            return;
        }
        hooks_.Progress(*total_, source, "");
        const std::string target = share_.prefix + rel;
        std::vector<DirEntry> targets;
        s = fs_.List(target, &targets);
        if (s == FsStatus::NotFound)
            s = MakeFolders(fs_, target);
        if (s != FsStatus::Ok) {
            DestinationFailed(source, "cannot use " + target, s);
            return;
        }
        std::map<std::string, DirEntry> backed;
        for (const DirEntry& t : targets) {
            if (!t.directory && IsTempName(t.name)) {
                // left by a run that was ended half-way
                fs_.RemoveFile(Join(target, t.name));
                continue;
            }
            backed[Lower(t.name)] = t;
        }
        std::sort(sources.begin(), sources.end(),
                  [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
        for (const DirEntry& e : sources) {
            if (e.directory || stopped())
                continue;
            if (IsTempName(e.name))
                continue;
            const std::string from = Join(source, e.name);
            auto it = backed.find(Lower(e.name));
            if (it == backed.end()) {
                Copy(from, target, e, rel + "\\" + e.name, false);
            } else if (it->second.directory) {
                Skip(from, "a folder of that name is in the backup");
            } else if (it->second.size != e.size ||
                       (it->second.lastWrite > e.lastWrite
                            ? it->second.lastWrite - e.lastWrite
                            : e.lastWrite - it->second.lastWrite) > kTimeSlack) {
                Copy(from, target, e, rel + "\\" + e.name, true);
            } else {
                ++result_.counts.unchanged;
                ++total_->unchanged;
            }
        }
        for (const DirEntry& e : sources) {
            if (!e.directory || e.link || stopped())
                continue;
            const std::string child = Join(source, e.name);
            if (Excluded(child) || OtherRoot(child))
                continue;
            Walk(child, rel + "\\" + e.name);
        }
    }

    void Copy(const std::string& from, const std::string& folder, const DirEntry& e,
              const std::string& rel, bool changed) {
        const std::string to = Join(folder, e.name);
        const std::string temp = TempPathFor(to);
        hooks_.Progress(*total_, LastFolder(from), e.name);
        std::unique_ptr<FileReader> reader;
        FsStatus s = fs_.OpenRead(from, &reader);
        if (s != FsStatus::Ok) {
            Skip(from, "cannot read it (" + Reason(s) + ")");
            return;
        }
        if (tempFolders_.insert(Lower(folder)).second)
            hooks_.TempFolder(folder);
        std::unique_ptr<FileWriter> writer;
        s = fs_.Create(temp, &writer);
        if (s != FsStatus::Ok) {
            DestinationFailed(from, "cannot create " + temp, s);
            return;
        }
        for (;;) {
            if (stopped()) {
                writer.reset();
                fs_.RemoveFile(temp);
                return;
            }
            size_t got = 0;
            s = reader->Read(buffer_.data(), buffer_.size(), &got);
            if (s != FsStatus::Ok) {
                writer.reset();
                fs_.RemoveFile(temp);
                Skip(from, "reading failed (" + Reason(s) + ")");
                return;
            }
            if (got == 0)
                break;
            s = writer->Write(buffer_.data(), got);
            if (s != FsStatus::Ok) {
                writer.reset();
                fs_.RemoveFile(temp);
                DestinationFailed(from, "writing " + temp + " failed", s);
                return;
            }
            total_->bytesCopied += got;
            result_.counts.bytesCopied += got;
            hooks_.Progress(*total_, LastFolder(from), e.name);
        }
        s = writer->Finish(e.lastWrite);
        writer.reset();
        if (s == FsStatus::Ok && changed)
            s = ShiftLevels(fs_, share_.prefix, rel, levels_);
        if (s == FsStatus::Ok)
            s = fs_.Rename(temp, to);
        if (s != FsStatus::Ok) {
            fs_.RemoveFile(temp);
            DestinationFailed(from, "cannot put " + to + " in place", s);
            return;
        }
        ++result_.counts.filesCopied;
        ++total_->filesCopied;
        hooks_.Progress(*total_, LastFolder(from), e.name);
    }

    static std::string LastFolder(const std::string& file) {
        return file.substr(0, file.find_last_of('\\'));
    }

    FileSystem& fs_;
    const ShareSelection& share_;
    int levels_;
    RunHooks& hooks_;
    RunCounts* total_;
    std::vector<char> buffer_;
    std::set<std::string> tempFolders_;
    ShareResult result_;
    bool failed_ = false;
};

} // namespace

ShareResult RunShare(FileSystem& fs, const ShareSelection& share, int levels, RunHooks& hooks,
                     RunCounts* total) {
    return ShareRun(fs, share, levels, hooks, total).Run();
}

} // namespace engine
