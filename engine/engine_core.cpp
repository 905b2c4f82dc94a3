// The engine's commands over the host it is given.
#include "engine/engine_core.h"

#include "backup/version_history.h"
#include "engine/clean.h"
#include "engine/history_store.h"
#include "engine/paths.h"

#include <cstring>
#include <set>

namespace engine {

namespace {

// No command is longer; a longer text is not one of ours.
constexpr size_t kLongestCommand = 1024;

const char* StateName(RunState state, bool cancelled) {
    if (cancelled)
        return "cancelled";
    switch (state) {
    case RunState::Complete:
        return "complete";
    case RunState::Failed:
        return "failed";
    case RunState::Incomplete:
        break;
    }
    return "incomplete";
}

// The worse of two results: failed over incomplete over complete.
RunState Worse(RunState a, RunState b) {
    auto rank = [](RunState s) {
        return s == RunState::Failed ? 2 : s == RunState::Incomplete ? 1 : 0;
    };
    return rank(a) >= rank(b) ? a : b;
}

bool ReadWhole(FileSystem& fs, const std::string& path, std::string* out) {
    std::unique_ptr<FileReader> reader;
    if (fs.OpenRead(path, &reader) != FsStatus::Ok)
        return false;
    char buffer[4096];
    for (;;) {
        size_t got = 0;
        if (reader->Read(buffer, sizeof buffer, &got) != FsStatus::Ok)
            return false;
        if (got == 0)
            return true;
        out->append(buffer, got);
        if (out->size() > (1u << 20))
            return false;
    }
}

// Writes a small file under a temporary name and puts it in place.
FsStatus WriteSmallFile(FileSystem& fs, const std::string& path, const std::string& text) {
    const std::string temp = TempPathFor(path);
    std::unique_ptr<FileWriter> writer;
    FsStatus s = fs.Create(temp, &writer);
    if (s != FsStatus::Ok)
        return s;
    s = writer->Write(text.data(), text.size());
    if (s == FsStatus::Ok)
        s = writer->Finish(0);
    writer.reset();
    if (s == FsStatus::Ok)
        s = fs.Rename(temp, path);
    if (s != FsStatus::Ok)
        fs.RemoveFile(temp);
    return s;
}

// Removes what a run that was ended half-way left, as its journal names it.
void RemoveLeftovers(FileSystem& fs, const std::string& journal) {
    std::string text;
    if (!ReadWhole(fs, journal, &text))
        return;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string folder = text.substr(start, end - start);
        start = end + 1;
        if (!folder.empty() && folder.back() == '\r')
            folder.pop_back();
        if (ShareRootOf(folder).empty())
            continue;
        std::vector<DirEntry> entries;
        if (fs.List(folder, &entries) != FsStatus::Ok)
            continue;
        for (const DirEntry& e : entries) {
            if (!e.directory && IsTempName(e.name))
                fs.RemoveFile(Join(folder, e.name));
        }
    }
    fs.RemoveFile(journal);
}

class ShareHooks : public RunHooks {
public:
    ShareHooks(EngineHost& host, const std::string& account, backup::ProgressRecord* record,
               std::unique_ptr<FileWriter>* journal)
        : host_(host), account_(account), record_(record), journal_(journal) {}

    bool Cancelled() override { return host_.Cancelled(); }
    void Log(const std::string& line) override { host_.Log(account_, line); }
    void Progress(const RunCounts& total, const std::string& folder,
                  const std::string& file) override {
        record_->filesCompleted = total.filesCopied;
        record_->bytesCopied = total.bytesCopied;
        record_->skipped = total.skipped;
        record_->folder = folder;
        record_->file = file;
        host_.Publish(*record_, false);
    }
    void TempFolder(const std::string& folder) override {
        if (!*journal_ && host_.Files().Create(host_.JournalPath(), journal_) != FsStatus::Ok)
            journal_->reset();
        if (*journal_) {
            const std::string line = folder + "\r\n";
            (*journal_)->Write(line.data(), line.size());
        }
    }

private:
    EngineHost& host_;
    std::string account_;
    backup::ProgressRecord* record_;
    std::unique_ptr<FileWriter>* journal_;
};

std::vector<ShareSelection> Selections(EngineHost& host) {
    backup::BackupConfig config(&host.DataFiles());
    return BuildSelections(config.Entries(), [&](const std::string& line) { host.Log("", line); });
}

} // namespace

Command ParseCommand(const char* text, int length) {
    Command c;
    if (!text)
        return c;
    size_t limit = kLongestCommand;
    if (length > 0 && static_cast<size_t>(length) < limit)
        limit = static_cast<size_t>(length);
    size_t n = 0;
    while (n < limit && text[n])
        ++n;
    const std::string s(text, n);
    static const struct {
        const char* text;
        CommandKind kind;
    } kPlain[] = {
        {"backup", CommandKind::Backup},
        {"cancel", CommandKind::Cancel},
        {"reschedule", CommandKind::Reschedule},
        {"settings force_change", CommandKind::ForceChange},
        {"settings clean_all", CommandKind::CleanAll},
    };
    for (const auto& p : kPlain) {
        if (s == p.text) {
            c.kind = p.kind;
            return c;
        }
    }
    if (s.size() > 6 && s.compare(0, 6, "clean ") == 0) {
        c.kind = CommandKind::Clean;
        c.argument = s.substr(6);
    }
    return c;
}

std::vector<ShareSelection>
BuildSelections(const std::vector<backup::BackupEntry>& entries,
                const std::function<void(const std::string&)>& problem) {
    std::vector<ShareSelection> shares;
    for (const backup::BackupEntry& e : entries) {
        const std::string prefix = PrefixOf(WithoutTrailingSlash(e.source), e.destination);
        if (prefix.empty() || e.source.size() < 2 || e.source[1] != ':') {
            problem("  Selection line left out: " + e.source + " -> " + e.destination);
            continue;
        }
        if (e.flag != 0 && e.flag != 1) {
            problem("  Selection line with flag " + std::to_string(e.flag) +
                    " left out: " + e.source);
            continue;
        }
        ShareSelection* share = nullptr;
        for (ShareSelection& s : shares) {
            if (SameName(s.prefix, prefix))
                share = &s;
        }
        if (!share) {
            shares.push_back({ShareRootOf(prefix), prefix, {}, {}});
            share = &shares.back();
        }
        (e.flag == 0 ? share->included : share->excluded).push_back(e.source);
    }
    return shares;
}

int LevelsFor(backup::Platform& data, const std::string& shareRoot) {
    backup::HistoryLevelsFile file(&data);
    file.Load();
    std::string value;
    bool found = file.Lookup(shareRoot, &value);
    if (!found) {
        for (const auto& kv : file.Values()) {
            if (SameName(kv.first, shareRoot)) {
                value = kv.second;
                found = true;
                break;
            }
        }
    }
    int levels = backup::kDefaultLevels;
    if (found)
        levels = backup::LeadingInt(value.c_str(), value.c_str() + value.size());
    if (levels < 1)
        levels = 1;
    if (levels > kMaxLevels)
        levels = kMaxLevels;
    return levels;
}

std::string StateLine(const std::string& date, RunState state) {
    return date + "\t" + std::to_string(static_cast<int>(state)) + "\r\n";
}

RunSummary RunBackup(EngineHost& host, backup::ProgressRecord* record) {
    FileSystem& fs = host.Files();
    const uint32_t run = record->run;
    *record = backup::ProgressRecord();
    record->run = run;
    host.Publish(*record, true);

    RemoveLeftovers(fs, host.JournalPath());
    RunSummary summary;
    std::unique_ptr<FileWriter> journal;
    const std::vector<ShareSelection> shares = Selections(host);
    for (const ShareSelection& share : shares) {
        const std::string account = AccountOf(share.shareRoot);
        const int levels = LevelsFor(host.DataFiles(), share.shareRoot);
        host.Log(account, "Backup started: " + share.prefix + " (" + std::to_string(levels) +
                              " versions kept)");
        ShareResult result;
        bool unreachable = false;
        std::vector<DirEntry> top;
        if (summary.cancelled || host.Cancelled()) {
            result.state = RunState::Incomplete;
            result.cancelled = true;
        } else if (FsStatus s = fs.List(share.shareRoot, &top); s != FsStatus::Ok) {
            host.Log(account, "  --- FAILED: " + share.shareRoot + " cannot be reached (" +
                                  StatusText(s) + ")");
            result.state = RunState::Failed;
            unreachable = true;
        } else {
            ShareHooks hooks(host, account, record, &journal);
            result = RunShare(fs, share, levels, hooks, &summary.counts);
        }
        host.Log(account, "Backup ended: " + std::to_string(result.counts.filesCopied) +
                              " files copied (" + std::to_string(result.counts.bytesCopied) +
                              " bytes), " + std::to_string(result.counts.unchanged) +
                              " unchanged, " + std::to_string(result.counts.skipped) + " skipped");
        host.Log(account, std::string("Result: ") + StateName(result.state, result.cancelled));
        if (result.state != RunState::Failed || !top.empty()) {
            const FsStatus s = WriteSmallFile(fs, Join(share.prefix, kStateFileName),
                                              StateLine(host.Today(), result.state));
            if (s != FsStatus::Ok && result.state != RunState::Failed)
                host.Log(account, std::string("  --- FAILED: cannot write ") + kStateFileName +
                                      " (" + StatusText(s) + ")");
        }
        summary.outcomes.push_back({share.shareRoot, result.state, result.cancelled, unreachable,
                                    result.counts, result.firstSkipped});
        summary.state = Worse(summary.state, result.state);
        summary.cancelled = summary.cancelled || result.cancelled;
        ++summary.shares;
    }
    journal.reset();
    fs.RemoveFile(host.JournalPath());

    record->finished = 1;
    record->filesCompleted = summary.counts.filesCopied;
    record->bytesCopied = summary.counts.bytesCopied;
    record->skipped = summary.counts.skipped;
    record->state = static_cast<int32_t>(summary.state);
    host.Publish(*record, true);
    return summary;
}

void ForceChange(EngineHost& host) {
    for (const ShareSelection& share : Selections(host)) {
        const std::string account = AccountOf(share.shareRoot);
        const int levels = LevelsFor(host.DataFiles(), share.shareRoot);
        host.Log(account,
                 "Versions kept changed to " + std::to_string(levels) + " for " + share.prefix);
        PruneLevels(host.Files(), share.prefix, levels,
                    [&](const std::string& line) { host.Log(account, line); });
    }
}

void CleanAll(EngineHost& host) {
    for (const ShareSelection& share : Selections(host)) {
        const std::string account = AccountOf(share.shareRoot);
        const std::string history = Join(share.prefix, kHistoryFolder);
        const FsStatus s = RemoveTree(host.Files(), history);
        host.Log(account, s == FsStatus::Ok ? "Historical versions removed: " + history
                                            : "--- FAILED: cannot remove " + history + " (" +
                                                  StatusText(s) + ")");
    }
}

void CleanPrefix(EngineHost& host, const std::string& prefix) {
    const std::string account = AccountOf(ShareRootOf(prefix));
    if (!AcceptablePrefix(prefix, host.ComputerName())) {
        host.Log(account, "--- FAILED: clean refused: " + prefix +
                              " is not a backup folder of this computer");
        return;
    }
    host.Log(account, "Clean started: " + prefix);
    std::vector<DirEntry> entries;
    const FsStatus s = host.Files().List(WithoutTrailingSlash(prefix), &entries);
    if (s != FsStatus::Ok) {
        host.Log(account,
                 std::string("--- FAILED: cannot list ") + prefix + " (" + StatusText(s) + ")");
        return;
    }
    const CleanCounts counts = CleanBackup(
        host.Files(), prefix, [&](const std::string& line) { host.Log(account, line); });
    host.Log(account, "Clean ended: " + std::to_string(counts.removed) + " removed, " +
                          std::to_string(counts.kept) + " kept as unknown, " +
                          std::to_string(counts.failed) + " failed");
}

} // namespace engine
