// The application object: the current appliance, the start switches, start-up and navigation.
#pragma once

#include <string>

#include "app/switches.h"

class ManagerApp {
public:
    ManagerApp();
    ~ManagerApp();
    ManagerApp(const ManagerApp&) = delete;
    ManagerApp& operator=(const ManagerApp&) = delete;

    // The one application object of the process, while it exists.
    static ManagerApp* Current();

    // Start-up: switches, log, language, install directory, single instance, then the screen
    // flow. Always false: no message loop runs, and the process ends when the flow has ended.
    bool InitInstance();

    // The outermost navigation procedure; alreadyRunning tells that another copy holds the
    // single-instance name of this mode. Returns the final result code of the flow.
    int RunStartMode(app::StartMode mode, bool alreadyRunning);

    // The appliance in use and its share; the navigation and its screens read and write them.
    std::string CurrentHostName;
    std::string CurrentIP;
    std::string sortFolder;
    std::string shareDriveLetter;

    // Set from the command line; the navigation clears the first five once the first screen is
    // chosen.
    bool shareSetup = false;
    bool backupMenu = false;
    bool manage = false;
    bool backupNow = false;
    bool dashBoard = false;
    bool missBackup = false;
};
