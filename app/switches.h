// The start switches of the command line and the start mode and single-instance name they choose.
#pragma once

#include <string>

namespace app {

struct StartSwitches {
    bool debug = false;
    bool firstDrag = false;
    bool missBackup = false;
    bool shareSetup = false;
    bool backupMenu = false;
    bool manage = false;
    bool backupNow = false;
    bool dashBoard = false;
};

// Each switch counts when its text occurs anywhere in the whole command line, program path
// included, in any order and case-sensitively: "-debugging" and "C:\-manage\x.exe" both count.
StartSwitches ParseSwitches(const std::string& commandLine);

enum class StartMode { Normal, FirstDrag, MissedBackup };

// "-firstDrag" wins over "-missBackup".
StartMode ChooseStartMode(const StartSwitches& switches);

// The three names of the single-instance object, one per start mode; copies in different modes
// do not refuse each other.
constexpr const char* INSTANCE_NAME_NORMAL = "zeltovManagerapp";
constexpr const char* INSTANCE_NAME_FIRST_DRAG = "zeltovManagerapp firstDrag";
constexpr const char* INSTANCE_NAME_MISSED_BACKUP = "zeltovManagerapp missBackup";
const char* InstanceName(StartMode mode);

// Upper-case English name of a mode for the log: "NORMAL", "FIRST DRAG", "MISSED BACKUP".
const char* StartModeName(StartMode mode);

} // namespace app
