// The screen flow from the start mode down: which screen follows which result.
#pragma once

#include <cstdint>
#include <string>

#include "app/switches.h"

namespace app {

// What the Locate screen gives back when it closes.
struct LocateOutcome {
    int result = 0;
    std::string hostName;
    std::string ipAddress;
};

// The screens and services the flow runs; the Windows half builds the real screens.
class Screens {
public:
    virtual ~Screens() = default;

    // The message dialog: heading for device (none when empty) and the code; its result.
    virtual int ShowMessage(const std::string& device, uint32_t code) = 0;
    virtual LocateOutcome ShowLocate() = 0;
    virtual int ShowNote(const std::string& hostName, const std::string& ipAddress) = 0;

    // A value of the current user's product key as stored; empty when missing.
    virtual std::string ReadSetting(const char* name) = 0;
    // Windows Sockets 2.2 for the session; false when they cannot start.
    virtual bool StartSockets() = 0;
    virtual void StopSockets() = 0;
    // One echo probe: true only when the address answered.
    virtual bool ProbeAnswers(const std::string& address) = 0;
    virtual void Wait(unsigned milliseconds) = 0;
};

// The application's fields the flow reads and writes (those of ManagerApp).
struct SessionFields {
    std::string& CurrentHostName;
    std::string& CurrentIP;
    bool& backupNow;
};

// Pause between the missed-backup question and the session it starts.
constexpr unsigned MISSED_BACKUP_PAUSE_MILLISECONDS = 300;

// The navigation procedures; each returns the final result code of its flow, and 100 (close)
// always travels straight up.
class Navigator {
public:
    Navigator(SessionFields fields, Screens& screens) : fields(fields), screens(screens) {}

    int RunStartMode(StartMode mode, bool alreadyRunning);
    int RunSession();
    int RunLocateLoop();
    int RunApplianceSession();
    int RunMainMenu();

private:
    SessionFields fields;
    Screens& screens;
};

} // namespace app
