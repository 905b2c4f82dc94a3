// The engine's backup, history and clean-up over an in-memory file system.
#include "engine/engine_core.h"

#include "backup/memory_platform.h"
#include "engine/clean.h"
#include "engine/memory_file_system.h"
#include "engine/paths.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

const std::string kShare = "\\\\NAS1\\anne";
const std::string kPrefix = kShare + "\\My Backup\\OFFICE1\\";

class TestHost : public EngineHost {
public:
    TestHost() {
        fs.AddRoot("C:");
        fs.AddRoot(kShare);
        fs.AddFolder("C:\\ProgramData\\log");
    }
    FileSystem& Files() override { return fs; }
    backup::Platform& DataFiles() override { return data; }
    void Log(const std::string& account, const std::string& line) override {
        logs[account].push_back(line);
    }
    void Publish(const backup::ProgressRecord& r, bool) override { published.push_back(r); }
    bool Cancelled() override { return cancel; }
    std::string Today() override { return "03232005"; }
    std::string ComputerName() override { return "OFFICE1"; }
    std::string JournalPath() override { return "C:\\ProgramData\\log\\journal.txt"; }

    void Select(const std::string& lines) {
        data.files[data.folder + "KelBackConfig.txt"].bytes = lines;
    }
    void Keep(const std::string& root, int levels) {
        data.files[data.folder + "histKel.txt"].bytes =
            root + "\t" + std::to_string(levels) + "\r\n";
    }
    bool Logged(const std::string& account, const std::string& part) const {
        auto it = logs.find(account);
        if (it == logs.end())
            return false;
        for (const std::string& l : it->second) {
            if (l.find(part) != std::string::npos)
                return true;
        }
        return false;
    }

    MemoryFileSystem fs;
    backup::MemoryPlatform data;
    std::map<std::string, std::vector<std::string>> logs;
    std::vector<backup::ProgressRecord> published;
    bool cancel = false;
};

std::string Line(const std::string& source, const std::string& prefix, int flag = 0) {
    std::string l = source + "\t" + prefix + StripColons(source);
    if (flag)
        l += "\t" + std::to_string(flag);
    return l + "\r\n";
}

RunSummary Backup(TestHost& host) {
    backup::ProgressRecord record;
    return RunBackup(host, &record);
}

TEST(EngineBackup, CopiesNewAndChangedFilesLeavesTheRestAndNeverDeletes) {
    TestHost host;
    host.Select(Line("C:\\Data", kPrefix) + Line("C:\\Data\\Excl", kPrefix, 1));
    host.fs.AddFile("C:\\Data\\new.txt", "new", 10);
    host.fs.AddFile("C:\\Data\\changed.txt", "v2", 20);
    host.fs.AddFile("C:\\Data\\same.txt", "same", 30);
    host.fs.AddFile("C:\\Data\\Sub\\deep.txt", "deep", 40);
    host.fs.AddFile("C:\\Data\\Excl\\left.txt", "left", 50);
    host.fs.AddFile(kPrefix + "C\\Data\\changed.txt", "v1", 20 + 3 * kTimeSlack);
    // times within the slack count as equal
    host.fs.AddFile(kPrefix + "C\\Data\\same.txt", "same", 30 + kTimeSlack);
    host.fs.AddFile(kPrefix + "C\\Data\\gone.txt", "gone", 5);

    const RunSummary s = Backup(host);

    EXPECT_EQ(RunState::Complete, s.state);
    EXPECT_EQ(3, s.counts.filesCopied);
    EXPECT_EQ(1, s.counts.unchanged);
    EXPECT_EQ("new", host.fs.Content(kPrefix + "C\\Data\\new.txt"));
    EXPECT_EQ("v2", host.fs.Content(kPrefix + "C\\Data\\changed.txt"));
    EXPECT_EQ("v1", host.fs.Content(kPrefix + "History\\Level2\\C\\Data\\changed.txt"));
    EXPECT_EQ("deep", host.fs.Content(kPrefix + "C\\Data\\Sub\\deep.txt"));
    EXPECT_FALSE(host.fs.Exists(kPrefix + "C\\Data\\Excl"));
    EXPECT_EQ("gone", host.fs.Content(kPrefix + "C\\Data\\gone.txt"));
    EXPECT_EQ("03232005\t0\r\n", host.fs.Content(kPrefix + "backup-state.txt"));
    for (const std::string& c : host.fs.changes) {
        // the sources are only read, and a backup only ever removes its own temporary names
        EXPECT_EQ(std::string::npos, c.find(" C:\\Data")) << c;
        if (c.rfind("remove ", 0) == 0) {
            EXPECT_TRUE(IsTempName(c) || c.find("journal") != std::string::npos) << c;
        }
    }
    // nothing changed: a second run copies nothing
    EXPECT_EQ(0, Backup(host).counts.filesCopied);
    ASSERT_FALSE(host.published.empty());
    EXPECT_EQ(1u, host.published.back().finished);
    EXPECT_TRUE(host.Logged("anne", "Result: complete"));
}

TEST(EngineBackup, VersionsMoveUpOneLevelAndTheOldestIsDropped) {
    for (int levels : {1, 3, 10}) {
        TestHost host;
        host.Select(Line("C:\\Data", kPrefix));
        host.Keep(kShare, levels);
        const int runs = levels + 2;
        for (int v = 1; v <= runs; ++v) {
            host.fs.AddFile("C:\\Data\\a.txt", "version " + std::to_string(v),
                            100 + v * 100000000ull);
            Backup(host);
        }
        for (int k = 1; k <= levels; ++k) {
            EXPECT_EQ("version " + std::to_string(runs - k + 1),
                      host.fs.Content(LevelPath(kPrefix, k, "C\\Data\\a.txt")))
                << levels << " levels, level " << k;
        }
        EXPECT_FALSE(host.fs.Exists(LevelPath(kPrefix, levels + 1, "C\\Data\\a.txt"))) << levels;
    }
}

TEST(EngineBackup, CancelInsideAFileLeavesNoPartialFileAndStateTwo) {
    TestHost host;
    host.Select(Line("C:\\Data", kPrefix));
    host.fs.AddFile("C:\\Data\\a.txt", "small", 1);
    host.fs.AddFile("C:\\Data\\big.bin", std::string(3 * 1024 * 1024, 'x'), 2);
    host.fs.onRead = [&](const std::string& path, uint64_t at) {
        if (path.find("big.bin") != std::string::npos && at > 0)
            host.cancel = true;
    };
    const RunSummary s = Backup(host);
    EXPECT_TRUE(s.cancelled);
    EXPECT_EQ("small", host.fs.Content(kPrefix + "C\\Data\\a.txt"));
    EXPECT_FALSE(host.fs.Exists(kPrefix + "C\\Data\\big.bin"));
    EXPECT_FALSE(host.fs.Exists(kPrefix + "C\\Data\\big.bin.tovpart"));
    EXPECT_EQ("03232005\t2\r\n", host.fs.Content(kPrefix + "backup-state.txt"));
    EXPECT_EQ(1u, host.published.back().finished);
    EXPECT_EQ(2, host.published.back().state);
}

TEST(EngineBackup, FailuresSkipFilesOrEndOnlyTheirShare) {
    TestHost host;
    const std::string other = "\\\\NAS1\\bob";
    const std::string otherPrefix = other + "\\My Backup\\OFFICE1\\";
    host.fs.AddRoot(other);
    host.Select(Line("C:\\Data", kPrefix) + Line("C:\\Mail", otherPrefix));
    host.fs.AddFile("C:\\Data\\locked.pst", "L", 1);
    host.fs.AddFile("C:\\Data\\ok.txt", "ok", 1);
    host.fs.AddFile("C:\\Mail\\m.txt", "m", 1);
    host.fs.locked.insert("C:\\Data\\locked.pst");
    host.fs.unreachable.insert(other);

    const RunSummary s = Backup(host);
    EXPECT_EQ(RunState::Failed, s.state);
    EXPECT_EQ(1, s.counts.skipped);
    EXPECT_EQ("ok", host.fs.Content(kPrefix + "C\\Data\\ok.txt"));
    EXPECT_EQ("03232005\t2\r\n", host.fs.Content(kPrefix + "backup-state.txt"));
    EXPECT_TRUE(host.Logged("anne", "Skipped C:\\Data\\locked.pst"));
    EXPECT_TRUE(host.Logged("bob", "Result: failed"));
    // what the user's notice is made of: per share, in the selection's order
    ASSERT_EQ(2u, s.outcomes.size());
    EXPECT_EQ(kShare, s.outcomes[0].shareRoot);
    EXPECT_EQ(RunState::Incomplete, s.outcomes[0].state);
    EXPECT_EQ("C:\\Data\\locked.pst", s.outcomes[0].firstSkipped);
    EXPECT_FALSE(s.outcomes[0].unreachable);
    EXPECT_EQ(other, s.outcomes[1].shareRoot);
    EXPECT_TRUE(s.outcomes[1].unreachable);

    // a write that fails half-way leaves no temporary name
    host.fs.locked.clear();
    host.fs.failWriteAfter = 0;
    Backup(host);
    EXPECT_FALSE(host.fs.Exists(kPrefix + "C\\Data\\locked.pst.tovpart"));
}

TEST(EngineBackup, TemporaryNamesOfAnEndedRunGoBeforeTheNextStarts) {
    TestHost host;
    host.Select(Line("C:\\Data", kPrefix));
    host.fs.AddFile("C:\\Data\\a.txt", "a", 1);
    const std::string stray = kShare + "\\Elsewhere\\x.bin.tovpart";
    host.fs.AddFile(stray, "half", 1);
    host.fs.AddFile(host.JournalPath(), kShare + "\\Elsewhere\r\n", 1);
    Backup(host);
    EXPECT_FALSE(host.fs.Exists(stray));
    EXPECT_FALSE(host.fs.Exists(host.JournalPath()));
}

TEST(EngineSettings, ForceChangeAndCleanAllRemoveOnlyHistory) {
    TestHost host;
    host.Select(Line("C:\\Data", kPrefix));
    for (int k = 2; k <= 5; ++k)
        host.fs.AddFile(LevelPath(kPrefix, k, "C\\Data\\a.txt"), "old", 1);
    host.fs.AddFile(kPrefix + "C\\Data\\a.txt", "now", 1);
    host.Keep(kShare, 2);
    ForceChange(host);
    EXPECT_TRUE(host.fs.Exists(LevelPath(kPrefix, 2, "C\\Data\\a.txt")));
    for (int k = 3; k <= 5; ++k)
        EXPECT_FALSE(host.fs.Exists(LevelFolder(kPrefix, k))) << k;
    CleanAll(host);
    EXPECT_FALSE(host.fs.Exists(kPrefix + "History"));
    EXPECT_EQ("now", host.fs.Content(kPrefix + "C\\Data\\a.txt"));
}

TEST(EngineClean, RemovesWhatIsGoneAndKeepsWhatItCannotSee) {
    TestHost host;
    host.fs.AddRoot("D:");
    host.fs.AddFile("C:\\Data\\kept.txt", "k", 1);
    host.fs.AddFolder("C:\\Locked");
    for (const char* rel : {"C\\Data\\kept.txt", "C\\Data\\gone.txt", "C\\Old\\x.txt",
                            "C\\Locked\\y.txt", "E\\usb.txt", "D\\z.txt"}) {
        host.fs.AddFile(kPrefix + rel, "b", 1);
        host.fs.AddFile(LevelPath(kPrefix, 2, rel), "h", 1);
    }
    host.fs.denied.insert("C:\\Locked");
    host.fs.denied.insert("D:");
    host.fs.AddFile(kPrefix + "backup-state.txt", "x", 1);

    CleanPrefix(host, kPrefix);
    for (int level : {1, 2}) {
        EXPECT_TRUE(host.fs.Exists(LevelPath(kPrefix, level, "C\\Data\\kept.txt")));
        EXPECT_FALSE(host.fs.Exists(LevelPath(kPrefix, level, "C\\Data\\gone.txt")));
        EXPECT_FALSE(host.fs.Exists(LevelPath(kPrefix, level, "C\\Old")));
        // a folder it cannot list, a drive that is not there, a drive that answers nothing
        EXPECT_TRUE(host.fs.Exists(LevelPath(kPrefix, level, "C\\Locked\\y.txt")));
        EXPECT_TRUE(host.fs.Exists(LevelPath(kPrefix, level, "E\\usb.txt")));
        EXPECT_TRUE(host.fs.Exists(LevelPath(kPrefix, level, "D\\z.txt")));
    }
    EXPECT_TRUE(host.fs.Exists(kPrefix + "backup-state.txt"));
    EXPECT_TRUE(host.Logged("anne", "Kept " + kPrefix + "E"));

    // a prefix that is not this computer's backup folder is refused
    host.fs.changes.clear();
    CleanPrefix(host, kShare + "\\");
    CleanPrefix(host, kShare + "\\My Backup\\OTHER\\");
    EXPECT_TRUE(host.fs.changes.empty());
}

TEST(EngineText, CommandsAndPrefixes) {
    const struct {
        const char* text;
        int length;
        CommandKind kind;
        const char* argument;
    } cases[] = {
        {"backup", 7, CommandKind::Backup, ""},
        {"cancel", 7, CommandKind::Cancel, ""},
        {"reschedule", 11, CommandKind::Reschedule, ""},
        {"settings force_change", 22, CommandKind::ForceChange, ""},
        {"settings clean_all", 19, CommandKind::CleanAll, ""},
        {"clean \\\\S\\P\\My Backup\\PC\\", 26, CommandKind::Clean, "\\\\S\\P\\My Backup\\PC\\"},
        {"backup", 3, CommandKind::Unknown, ""}, // the length cuts it
        {"backup", -5, CommandKind::Backup, ""},
        {"clean ", 7, CommandKind::Unknown, ""},
        {"Backup", 7, CommandKind::Unknown, ""},
    };
    for (const auto& c : cases) {
        const Command got = ParseCommand(c.text, c.length);
        EXPECT_EQ(c.kind, got.kind) << c.text << " " << c.length;
        EXPECT_EQ(c.argument, got.argument) << c.text;
    }
    EXPECT_TRUE(AcceptablePrefix(kPrefix, "office1"));
    EXPECT_TRUE(AcceptablePrefix(kShare + "\\\\OFFICE1\\", "OFFICE1"));
    for (const std::string& bad :
         {kShare + "\\", kShare + "\\OFFICE1", kShare + "\\x\\..\\OFFICE1\\",
          std::string("C:\\My Backup\\OFFICE1\\"), kShare + "\\A\\B\\"})
        EXPECT_FALSE(AcceptablePrefix(bad, "OFFICE1")) << bad;
}

} // namespace
} // namespace engine
