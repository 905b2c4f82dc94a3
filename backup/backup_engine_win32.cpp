// The backup engine link on Windows; the engine itself is not part of this build yet.
#include "backup/backup_engine.h"

#include "app/log.h"

namespace backup {

void BackupEngine::SendCommand(const char* command) {
    WriteLog(LOG_TRACE, "  No backup engine yet: <%s> not sent", command);
}

} // namespace backup
