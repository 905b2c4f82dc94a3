// The engine's notices: which runs are told about, their title and text, the schedule's turns
// and the tray menu.
#include "engine/notice.h"

#include <cstdio>

namespace engine {

namespace {

constexpr const char* kClickHint = " Click here to see the backup status.";

std::string Files(int32_t n) { return std::to_string(n) + (n == 1 ? " file" : " files"); }

// One share's sentence, or "" when it went well or the user stopped it.
std::string ShareSentence(RunCause cause, const ShareOutcome& o, bool withPath) {
    const std::string what =
        std::string(cause == RunCause::Scheduled ? "The scheduled backup" : "The backup") + " to " +
        ApplianceOf(o.shareRoot);
    if (o.unreachable)
        return what + " could not run: " + o.shareRoot + " cannot be reached.";
    if (o.state == RunState::Failed)
        return what + " failed: the drive was lost during the run (" + Files(o.counts.filesCopied) +
               " copied, " + Files(o.counts.skipped) + " skipped).";
    if (o.counts.skipped == 0)
        return "";
    if (o.counts.skipped == 1)
        return what + " is incomplete: 1 file was skipped" +
               (withPath && !o.firstSkipped.empty() ? " (" + o.firstSkipped + ")." : ".");
    return what + " is incomplete: " + Files(o.counts.skipped) + " were skipped.";
}

// The sentences that fit, then the hint when it fits too.
std::string Fit(const std::vector<std::string>& sentences) {
    std::string text;
    for (const std::string& s : sentences) {
        const std::string next = text.empty() ? s : text + " " + s;
        if (next.size() > kNoticeTextMax)
            break;
        text = next;
    }
    if (text.empty() && !sentences.empty())
        text = sentences[0].substr(0, kNoticeTextMax);
    if (text.size() + std::string(kClickHint).size() <= kNoticeTextMax)
        text += kClickHint;
    return text;
}

} // namespace

std::string ApplianceOf(const std::string& shareRoot) {
    size_t start = 0;
    while (start < shareRoot.size() && shareRoot[start] == '\\')
        ++start;
    const size_t end = shareRoot.find('\\', start);
    return shareRoot.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

Notice RunNotice(RunCause cause, const RunSummary& summary) {
    Notice n;
    std::vector<std::string> sentences;
    std::vector<std::string> counted; // the same without the skipped file's path
    bool failed = false;
    bool unreachable = true;
    for (const ShareOutcome& o : summary.outcomes) {
        const std::string s = ShareSentence(cause, o, true);
        if (s.empty())
            continue;
        sentences.push_back(s);
        counted.push_back(ShareSentence(cause, o, false));
        failed = failed || o.state == RunState::Failed;
        unreachable = unreachable && o.unreachable;
    }
    if (sentences.empty()) {
        n.quiet = summary.cancelled          ? "the run was stopped by the user"
                  : summary.outcomes.empty() ? "nothing is selected"
                                             : "the run ended complete";
        return n;
    }
    n.show = true;
    n.icon = failed ? NoticeIcon::Error : NoticeIcon::Warning;
    n.title = !failed       ? "Backup incomplete"
              : unreachable ? "Backup could not run"
                            : "Backup failed";
    // a long path would leave no room: the count alone then
    n.text = sentences[0].size() > kNoticeTextMax ? Fit(counted) : Fit(sentences);
    return n;
}

Notice MissedNotice(int64_t scheduled, const std::vector<std::string>& appliances, bool asleep) {
    Notice n;
    n.show = true;
    n.icon = NoticeIcon::Warning;
    n.title = "Scheduled backup missed";
    std::string to;
    for (const std::string& a : appliances)
        to += (to.empty() ? " to " : " and ") + a;
    const LocalTime t = TimeOf(scheduled);
    char when[32];
    std::snprintf(when, sizeof when, "%02d/%02d/%04d %02d:%02d", t.month, t.day, t.year, t.hour,
                  t.minute);
    n.text =
        Fit({"The scheduled backup" + to + " of " + when + " did not run: this computer was " +
             (asleep ? "asleep" : "off or asleep, or nobody was logged on,") + " at the time."});
    return n;
}

std::string NoticeLogLine(const Notice& notice) {
    if (!notice.show)
        return "No notice: " + notice.quiet;
    return "Notice: " + notice.title + ": " + notice.text;
}

Turn ScheduleTurn(const Schedule& schedule, int64_t lastLook, int64_t now, int64_t* due) {
    if (!LastScheduled(schedule, now, due) || *due <= lastLook || *due > now)
        return Turn::None;
    return now - *due > kLateMinutes ? Turn::Missed : Turn::RunNow;
}

const std::vector<TrayItem>& TrayMenu() {
    static const std::vector<TrayItem> menu = {
        {kTrayBackUpNow, "Back up now"},
        {kTrayOpenStatus, "Open backup status"},
    };
    return menu;
}

} // namespace engine
