// The values the program remembers under the product key, read and written per use.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace AppSettings {

// The product key, as passed to the registry (the trailing backslash is part of it).
constexpr const char* KEY = "SOFTWARE\\Kelvox\\TOV Lumora\\";

enum class Root { CurrentUser, LocalMachine };

// Reads a string value: the bytes up to the first zero byte or the end of the data.
// Returns false when the key or the value is missing. Nothing is trimmed.
bool ReadString(Root root, const char* name, std::string* out);

// The same, trimmed of white space at both ends; empty when missing.
std::string ReadTrimmed(Root root, const char* name);

// The backup files' reader of "backupFolder": a fixed 260-byte buffer, so a longer value reads
// as empty. Not trimmed.
std::string ReadBackupFolder();

// "installDirectory" of the local machine, trimmed (empty when missing), with the two lines its
// readers log: "  Read Install Dir Size %d bytes" and "  Read Install Dir Value -->%d<--".
std::string ReadInstallDirectory();

// Reads a flag of the current user ("EnableSort", "SortMyFolder", "tagOn"), decided by the rules
// of each (first byte; all four bytes for "tagOn"). A missing value is written as 1 and read as on.
bool ReadFlag(const char* name);

// Writes REG_SZ (with its terminating zero) or REG_DWORD under the current user's product key,
// creating the key with full access. Failures are ignored.
void WriteString(const char* name, const std::string& text);
void WriteDword(const char* name, uint32_t value);

// Several values through one opened key, in the order given.
void WriteStrings(const std::vector<std::pair<const char*, std::string>>& values);
void WriteDwords(const std::vector<std::pair<const char*, uint32_t>>& values);

// The grouped writes of the program, each through one opened key in this order.
// Set-up worker, once the share is mapped: "sortFolder", "backupFolder", "shareDriveLetter".
void WriteShareSetup(const std::string& sortFolder, const std::string& backupFolder,
                     const std::string& shareDriveLetter);
// Drag and Sort settings on Save: "EnableSort", "SortMyFolder" (1 or 0).
void WriteSortFlags(bool enableSort, bool sortMyFolder);
// Locate screen on Next: "CurrentIP", "CurrentHostName".
void WriteCurrentAppliance(const std::string& currentIP, const std::string& currentHostName);

// One value as the registry gave it, for readers that log its size and first byte: open for
// reading, ask the size, allocate, read, close.
struct RawValue {
    bool sized = false; // the size question succeeded
    uint32_t size = 0;  // the size it reported, in bytes
    bool read = false;  // the value was read into data
    uint32_t type = 0;  // REG_SZ, REG_DWORD, ...
    std::vector<unsigned char> data;
};
RawValue ReadRaw(Root root, const char* name);

} // namespace AppSettings
