// The result codes that screens end with and the navigation acts on.
#pragma once

namespace setup {

constexpr int RESULT_NOT_SHOWN = -1;    // the screen could not be created: the program ends
constexpr int RESULT_CLOSE = 100;       // X or Alt+F4: the program ends
constexpr int RESULT_BACK = 101;        // one screen back
constexpr int RESULT_NEXT = 102;        // on to the next screen
constexpr int RESULT_FINISHED = 103;    // a notice acknowledged, a wizard finished or cancelled
constexpr int RESULT_MENU_SETUP = 110;  // Main menu: shared storage set-up
constexpr int RESULT_MENU_BACKUP = 111; // Main menu: backup and restore
constexpr int RESULT_MENU_DRIVES = 112; // Main menu: drive management
constexpr int RESULT_SETUP_DONE = 120;
constexpr int RESULT_SETUP_FAILED = 125; // also the message dialog's OK outside question mode
constexpr int RESULT_KEEP_FILE = 126;    // the replace question: No
constexpr int RESULT_REPLACE = 127;      // the replace question: Replace
constexpr int RESULT_YES = 128;
constexpr int RESULT_NO = 129;
constexpr int RESULT_BACKUP_SETTINGS = 130;
constexpr int RESULT_RESTORE = 131;
constexpr int RESULT_STATUS = 132; // the storage and backup status view
constexpr int RESULT_CLEAN_UP = 133;
constexpr int RESULT_SORT_SETTINGS = 140;
constexpr int RESULT_BACKUP_NOW = 141; // the backup has just been started
constexpr int RESULT_EDIT = 150;
constexpr int RESULT_ADVANCED = 155;

} // namespace setup
