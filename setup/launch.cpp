// Opening a target through the shell: the log lines and the failure report.
#include "setup/launch.h"

#include "app/log.h"

namespace setup {

bool OpenTarget(const std::string& target, Shell& shell) {
    if (!ShellOpenFailed(shell.Open(target)))
        return true;
    // Read the error before anything else can overwrite it.
    const std::string text = shell.LastErrorText();
    shell.ShowError(text);
    // The system's texts end in a line break, which would split the log entry in two.
    std::string line = text;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    WriteLog(LOG_ERROR, "--- ERROR: Failed to launch: <%s> ", line.c_str());
    return false;
}

bool LaunchTarget(const std::string& target, Shell& shell) {
    return LaunchTarget(target, target, shell);
}

bool LaunchTarget(const std::string& target, const std::string& logged, Shell& shell) {
    WriteLog(LOG_TRACE, "Going to Launch to <%s>", logged.c_str());
    return OpenTarget(target, shell);
}

bool OpenSupportPage(Shell& shell) {
    WriteLog(LOG_TRACE, "Going to kelvox web site <%s>", SUPPORT_PAGE_ADDRESS);
    return OpenTarget(SUPPORT_PAGE_ADDRESS, shell);
}

} // namespace setup
