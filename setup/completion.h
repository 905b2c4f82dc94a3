// The set-up completion screen's decisions: its texts, the share folder Open shows, its buttons.
#pragma once

#include <string>

#include "setup/launch.h"

namespace setup {

// What a set-up run did.
constexpr int CREATE_EXIST = 1;
constexpr int CREATE_PUBLIC = 2;
constexpr int CREATE_PRIVATE = 3;

constexpr int STR_SETUP_TITLE = 29;
constexpr int STR_SETUP_COMPLETE = 33;
constexpr int STR_FOLDER_CREATED = 34; // "%1" is the account name
constexpr int STR_SHORTCUT_PLACED = 35;
constexpr int STR_OPEN = 36;
constexpr int STR_MAIN_MENU = 216;

// The share's folder: "\\" appliance "\" account.
std::string ShareFolder(const std::string& applianceName, const std::string& accountName);

// An existing account's folder opens as the screen opens, without a click.
inline bool OpensAtOnce(int setupFunction) { return setupFunction == CREATE_EXIST; }

enum class CompletionButton { MainMenu, Open, None };

struct CompletionOutcome {
    bool ends = false;
    int result = 0;
};

// Presses a button: Main Menu ends with 120; Open shows the folder (logging the account name) and
// ends with 120 only for an existing account; None (Enter with neither focused) does nothing.
CompletionOutcome PressCompletionButton(CompletionButton button, int setupFunction,
                                        const std::string& applianceName,
                                        const std::string& accountName, Shell& shell);

} // namespace setup
