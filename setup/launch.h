// Opening a web page, folder, program or help file with the shell's "open", and reporting failure.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

// The maker's support page: opened by the Help buttons and named in string 47.
constexpr const char* SUPPORT_PAGE_ADDRESS = "http://www.kelvox.com/support";

// What opening needs from the system; the Windows shell implements it.
class Shell {
public:
    virtual ~Shell() = default;
    // The shell's "open" with no parameters or folder, shown normally; its result as an integer.
    virtual intptr_t Open(const std::string& target) = 0;
    // The system's text for the calling thread's last error.
    virtual std::string LastErrorText() = 0;
    // A plain, system-modal message box with the text.
    virtual void ShowError(const std::string& text) = 0;
};

// The shell reports failure with a result of 32 or less.
inline bool ShellOpenFailed(intptr_t result) { return result <= 32; }

// Logs "Going to Launch to <target>", opens it and on failure shows the system's text and logs
// "--- ERROR: Failed to launch: <text> ". True when the shell opened it. The message dialog's
// Help opens SUPPORT_PAGE_ADDRESS this way.
bool LaunchTarget(const std::string& target, Shell& shell);

// The same, with another text in the "Going to Launch to" line (the completion screen logs the
// account name while it opens the share's folder).
bool LaunchTarget(const std::string& target, const std::string& logged, Shell& shell);

// Opens the target and reports a failure as LaunchTarget does, for callers that log their own
// line first (the Drag and Sort settings start the sorter so).
bool OpenTarget(const std::string& target, Shell& shell);

// The Locate screen's WEB button: the support page, logged as "Going to kelvox web site <...>".
bool OpenSupportPage(Shell& shell);

// The Windows shell (launch_win32.cpp).
Shell& SystemShell();
inline bool LaunchTarget(const std::string& target) { return LaunchTarget(target, SystemShell()); }
inline bool OpenSupportPage() { return OpenSupportPage(SystemShell()); }

} // namespace setup
