// The engine's notices: which run outcomes are told, their titles and texts within the balloon's
// limits, the missed schedule, and the schedule's turns around a sleep.
#include "engine/notice.h"

#include <gtest/gtest.h>

namespace {

using namespace engine;

ShareOutcome Outcome(RunState state, int32_t skipped, const std::string& first = "",
                     bool unreachable = false, bool cancelled = false) {
    ShareOutcome o;
    o.shareRoot = "\\\\NAS1\\abcd";
    o.state = state;
    o.unreachable = unreachable;
    o.cancelled = cancelled;
    o.counts.filesCopied = 4;
    o.counts.skipped = skipped;
    o.firstSkipped = first;
    return o;
}

TEST(Notice, RunOutcomes) {
    const std::string longPath = "C:\\" + std::string(240, 'x') + ".doc";
    const struct {
        const char* name;
        RunCause cause;
        std::vector<ShareOutcome> outcomes;
        bool show;
        const char* title;
        const char* text; // the whole text, or the reason it is quiet
    } cases[] = {
        {"clean",
         RunCause::Scheduled,
         {Outcome(RunState::Complete, 0)},
         false,
         "",
         "the run ended complete"},
        {"nothing selected", RunCause::Scheduled, {}, false, "", "nothing is selected"},
        {"stopped by the user",
         RunCause::Started,
         {Outcome(RunState::Incomplete, 0, "", false, true)},
         false,
         "",
         "the run was stopped by the user"},
        {"one unreadable file",
         RunCause::Started,
         {Outcome(RunState::Incomplete, 1, "C:\\src\\locked.txt")},
         true,
         "Backup incomplete",
         "The backup to NAS1 is incomplete: 1 file was skipped (C:\\src\\locked.txt). Click here "
         "to see the backup status."},
        {"several skipped",
         RunCause::Scheduled,
         {Outcome(RunState::Incomplete, 3, "C:\\a")},
         true,
         "Backup incomplete",
         "The scheduled backup to NAS1 is incomplete: 3 files were skipped. Click here to see the "
         "backup status."},
        {"share unreachable",
         RunCause::Scheduled,
         {Outcome(RunState::Failed, 0, "", true), Outcome(RunState::Complete, 0)},
         true,
         "Backup could not run",
         "The scheduled backup to NAS1 could not run: \\\\NAS1\\abcd cannot be reached. Click "
         "here to see the backup status."},
        {"lost during the run",
         RunCause::Started,
         {Outcome(RunState::Failed, 1)},
         true,
         "Backup failed",
         "The backup to NAS1 failed: the drive was lost during the run (4 files copied, 1 file "
         "skipped). Click here to see the backup status."},
        {"a path too long for the balloon",
         RunCause::Started,
         {Outcome(RunState::Incomplete, 1, longPath)},
         true,
         "Backup incomplete",
         "The backup to NAS1 is incomplete: 1 file was skipped. Click here to see the backup "
         "status."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunSummary summary;
        summary.outcomes = c.outcomes;
        for (const ShareOutcome& o : c.outcomes)
            summary.cancelled = summary.cancelled || o.cancelled;
        const Notice n = RunNotice(c.cause, summary);
        EXPECT_EQ(c.show, n.show);
        EXPECT_EQ(c.title, n.title);
        EXPECT_EQ(c.text, n.show ? n.text : n.quiet);
        EXPECT_LE(n.title.size(), kNoticeTitleMax);
        EXPECT_LE(n.text.size(), kNoticeTextMax);
        EXPECT_EQ((n.show ? "Notice: " + n.title + ": " + n.text : "No notice: " + n.quiet),
                  NoticeLogLine(n));
    }
}

TEST(Notice, ManySharesKeepWithinTheBalloon) {
    RunSummary summary;
    for (int i = 0; i < 6; ++i) {
        ShareOutcome o = Outcome(RunState::Failed, 0, "", true);
        o.shareRoot = "\\\\NAS" + std::to_string(i) + "\\a-long-share-name";
        summary.outcomes.push_back(o);
    }
    const Notice n = RunNotice(RunCause::Scheduled, summary);
    EXPECT_LE(n.text.size(), kNoticeTextMax);
    // whole sentences only
    EXPECT_EQ('.', n.text.back());
    EXPECT_NE(std::string::npos, n.text.find("NAS0"));
    EXPECT_EQ(NoticeIcon::Error, n.icon);
}

TEST(Notice, MissedSchedule) {
    const int64_t at = MinuteOf({2025, 3, 4, 22, 0});
    const Notice off = MissedNotice(at, {"NAS1"}, false);
    EXPECT_TRUE(off.show);
    EXPECT_EQ("Scheduled backup missed", off.title);
    EXPECT_EQ("The scheduled backup to NAS1 of 03/04/2025 22:00 did not run: this computer was "
              "off or asleep, or nobody was logged on, at the time. Click here to see the backup "
              "status.",
              off.text);
    const Notice asleep = MissedNotice(at, {"NAS1", "NAS2"}, true);
    EXPECT_NE(std::string::npos, asleep.text.find("to NAS1 and NAS2 of"));
    EXPECT_NE(std::string::npos, asleep.text.find("was asleep at the time"));
}

TEST(Notice, ScheduleTurnAroundASleep) {
    Schedule daily;
    daily.days = 127;
    daily.hour = 22;
    daily.minute = 0;
    const int64_t due = MinuteOf({2025, 3, 4, 22, 0});
    int64_t got = 0;
    EXPECT_EQ(Turn::RunNow, ScheduleTurn(daily, due - 1, due, &got));
    EXPECT_EQ(due, got);
    EXPECT_EQ(Turn::RunNow, ScheduleTurn(daily, due - 1, due + kLateMinutes, &got));
    // awake again hours later: the time passed while the computer slept
    EXPECT_EQ(Turn::Missed, ScheduleTurn(daily, due - 30, due + 7 * 60, &got));
    EXPECT_EQ(due, got);
    // already looked at after it
    EXPECT_EQ(Turn::None, ScheduleTurn(daily, due, due + 1, &got));
    daily.on = false;
    EXPECT_EQ(Turn::None, ScheduleTurn(daily, due - 1, due, &got));
}

TEST(Notice, ApplianceOfAShareRoot) {
    EXPECT_EQ("NAS1", ApplianceOf("\\\\NAS1\\abcd"));
    EXPECT_EQ("NAS1", ApplianceOf("\\\\NAS1"));
    EXPECT_EQ("", ApplianceOf(""));
}

} // namespace
