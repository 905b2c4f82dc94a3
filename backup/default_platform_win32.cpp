// The program's platform for the backup data files: the Windows one, with the registry settings.
#include "app/settings.h"
#include "backup/platform_win32.h"

namespace backup {

namespace {

bool ReadSetting(const char* name, std::string* out) {
    std::string value;
    if (!AppSettings::ReadString(AppSettings::Root::CurrentUser, name, &value))
        return false;
    if (std::string(name) == "backupFolder") {
        *out = AppSettings::ReadBackupFolder();
        return true;
    }
    // The backup files read their values into 260 bytes; a longer one reads as empty.
    *out = value.size() < 260 ? value : std::string();
    return true;
}

} // namespace

Platform& DefaultPlatform() {
    static Win32Platform platform(&ReadSetting);
    return platform;
}

} // namespace backup
