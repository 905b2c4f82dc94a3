// The set-up completion screen's decisions, free of the window.
#include "setup/completion.h"

#include "setup/screen_results.h"

namespace setup {

std::string ShareFolder(const std::string& applianceName, const std::string& accountName) {
    return "\\\\" + applianceName + "\\" + accountName;
}

CompletionOutcome PressCompletionButton(CompletionButton button, int setupFunction,
                                        const std::string& applianceName,
                                        const std::string& accountName, Shell& shell) {
    CompletionOutcome outcome;
    switch (button) {
    case CompletionButton::MainMenu:
        outcome.ends = true;
        outcome.result = RESULT_SETUP_DONE;
        break;
    case CompletionButton::Open:
        LaunchTarget(ShareFolder(applianceName, accountName), accountName, shell);
        if (OpensAtOnce(setupFunction)) {
            outcome.ends = true;
            outcome.result = RESULT_SETUP_DONE;
        }
        break;
    case CompletionButton::None:
        break;
    }
    return outcome;
}

} // namespace setup
