// The client's link to the backup engine: one self-contained call per text command.
#pragma once

#include "backup/engine_commands.h"

namespace backup {

class BackupEngine {
public:
    // Sends one command text (engine_commands.h) to the engine. Every failure is dropped here:
    // the caller carries on as if the command had been sent.
    static void SendCommand(const char* command);
};

} // namespace backup
