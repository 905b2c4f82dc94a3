// Resource numbers shared by tovManager.exe and every language library.
#pragma once

// Strings of the application frame
#define IDS_APP_INIT_FAILED 1
#define IDS_APP_TITLE 2
#define IDS_ALREADY_OPEN_HEADING 212
#define IDS_ALREADY_OPEN_TEXT 213
