// The progress screen's rules apart from its window.
#include "backup/progress_screen.h"

namespace backup {

namespace {

std::string ReplaceAll(std::string s, const std::string& what, const std::string& with) {
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
    return s;
}

} // namespace

uint64_t ShownMegabytes(uint64_t bytes) {
    if (bytes == 0)
        return 0;
    const uint64_t mb = ((bytes + 512) / 1024) / 1024;
    return mb == 0 ? 1 : mb;
}

std::string CounterText(const std::string& templ, int32_t files, uint64_t bytes) {
    // "#####" first: it contains "###"
    const std::string withMegabytes =
        ReplaceAll(templ, "#####", std::to_string(ShownMegabytes(bytes)));
    return ReplaceAll(withMegabytes, "###", std::to_string(files));
}

std::string DestinationText(const std::string& to, const std::string& drive,
                            const std::string& shareRoot, const std::string& backupFolder) {
    return to + " (" + drive + ") " + shareRoot + backupFolder;
}

ProgressTicker::Action ProgressTicker::OnPoll(int result) {
    if (result == 1) {
        done_ = true;
        idle_ = 0;
        return Action::Complete;
    }
    if (result == 0) {
        idle_ = 0;
        return Action::None;
    }
    if (++idle_ > kIdleTickLimit)
        done_ = true;
    return Action::None;
}

bool ProgressTicker::OnButton() {
    if (done_)
        return false;
    stopping_ = true;
    return true;
}

} // namespace backup
