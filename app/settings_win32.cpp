// The product key in the registry: every read opens, sizes, reads and closes; writes create it.
#include "app/settings.h"

#include <windows.h>

#include <cstring>

#include "app/log.h"
#include "app/settings_rules.h"

namespace AppSettings {

namespace {

HKEY RootKey(Root root) {
    return root == Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Opens or creates the current user's product key with full access; null when it cannot.
HKEY CreateUserKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KEY, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void SetString(HKEY key, const char* name, const std::string& text) {
    // The stored length is the characters plus the terminating zero.
    const size_t length = std::strlen(text.c_str()) + 1;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(length));
}

void SetDword(HKEY key, const char* name, uint32_t value) {
    DWORD data = value;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

// The read log lines that some flags leave; null for flags that log nothing.
struct FlagLog {
    const char* name;
    const char* sizeLine;
    const char* valueLine;
};
const FlagLog kFlagLogs[] = {
    {"EnableSort", "  Read Ena/Dis Sort Size %d bytes", "  Read Ena/Dis Sort Value -->%d<--"},
    {"SortMyFolder", "  Read Ena/Dis Sort Folder Size %d bytes",
     "  Read Ena/Dis Sort Folder Value -->%d<--"},
};

const FlagLog* FindFlagLog(const char* name) {
    for (const FlagLog& entry : kFlagLogs) {
        if (std::strcmp(entry.name, name) == 0)
            return &entry;
    }
    return nullptr;
}

} // namespace

RawValue ReadRaw(Root root, const char* name) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        value.sized = true;
        value.size = size;
        // At least one byte, so that an empty value still has a buffer to be read into.
        std::vector<unsigned char> buffer(size > 0 ? size : 1);
        DWORD got = size;
        if (RegQueryValueExA(key, name, nullptr, &type, buffer.data(), &got) == ERROR_SUCCESS) {
            buffer.resize(got < size ? got : size);
            value.read = true;
            value.type = type;
            value.data.swap(buffer);
        }
    }
    RegCloseKey(key);
    return value;
}

bool ReadString(Root root, const char* name, std::string* out) {
    RawValue value = ReadRaw(root, name);
    if (!value.read)
        return false;
    if (out)
        *out = TextFromBytes(value.data);
    return true;
}

std::string ReadTrimmed(Root root, const char* name) {
    std::string text;
    if (!ReadString(root, name, &text))
        return std::string();
    return TrimWhite(text);
}

std::string ReadBackupFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    std::vector<unsigned char> buffer(BACKUP_FOLDER_BUFFER);
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG status =
        RegQueryValueExA(key, "backupFolder", nullptr, nullptr, buffer.data(), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::string(); // missing, or longer than the buffer (ERROR_MORE_DATA)
    buffer.resize(size < buffer.size() ? size : buffer.size());
    return BackupFolderFromBuffer(true, buffer);
}

std::string ReadInstallDirectory() {
    const RawValue value = ReadRaw(Root::LocalMachine, "installDirectory");
    if (value.sized)
        WriteLog(LOG_DETAIL, "  Read Install Dir Size %d bytes", static_cast<int>(value.size));
    if (value.read)
        WriteLog(LOG_DETAIL, "  Read Install Dir Value -->%d<--", FirstByteCode(value.data));
    return TrimWhite(TextFromBytes(value.data));
}

bool ReadFlag(const char* name) {
    const FlagLog* log = FindFlagLog(name);
    RawValue value = ReadRaw(Root::CurrentUser, name);
    if (value.sized && log)
        WriteLog(LOG_DETAIL, log->sizeLine, static_cast<int>(value.size));
    if (value.read && log)
        WriteLog(LOG_DETAIL, log->valueLine, FirstByteCode(value.data));
    // Missing (or the key is): it is on, and stored so from now on.
    const FlagReading flag =
        ReadFlagFrom(value.sized, value.read, value.data, std::strcmp(name, "tagOn") == 0);
    if (flag.storeOne)
        WriteDword(name, 1);
    return flag.on;
}

void WriteString(const char* name, const std::string& text) { WriteStrings({{name, text}}); }

void WriteDword(const char* name, uint32_t value) { WriteDwords({{name, value}}); }

void WriteStrings(const std::vector<std::pair<const char*, std::string>>& values) {
    HKEY key = CreateUserKey();
    if (!key)
        return;
    for (const auto& value : values)
        SetString(key, value.first, value.second);
    RegCloseKey(key);
}

void WriteDwords(const std::vector<std::pair<const char*, uint32_t>>& values) {
    HKEY key = CreateUserKey();
    if (!key)
        return;
    for (const auto& value : values)
        SetDword(key, value.first, value.second);
    RegCloseKey(key);
}

void WriteShareSetup(const std::string& sortFolder, const std::string& backupFolder,
                     const std::string& shareDriveLetter) {
    WriteStrings({{"sortFolder", sortFolder},
                  {"backupFolder", backupFolder},
                  {"shareDriveLetter", shareDriveLetter}});
}

void WriteSortFlags(bool enableSort, bool sortMyFolder) {
    WriteDwords({{"EnableSort", enableSort ? 1u : 0u}, {"SortMyFolder", sortMyFolder ? 1u : 0u}});
}

void WriteCurrentAppliance(const std::string& currentIP, const std::string& currentHostName) {
    WriteStrings({{"CurrentIP", currentIP}, {"CurrentHostName", currentHostName}});
}

} // namespace AppSettings
