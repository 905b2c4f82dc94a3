// How stored registry bytes become the program's values: text, trimming, flags, the backup folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace AppSettings {

// The bytes up to the first zero byte or the end of the data.
std::string TextFromBytes(const std::vector<unsigned char>& data);

// Removes blanks, tabs, carriage returns, line feeds, vertical tabs and form feeds at both ends.
std::string TrimWhite(const std::string& text);

// Flags are decided on their first byte (0 off, anything else on), so a DWORD of 256 is off.
// "tagOn" tests the whole 32-bit value instead: its first four bytes. Bytes the data lacks count
// as zero, so an empty value is off.
bool FlagFromBytes(const std::vector<unsigned char>& data, bool wholeDword);

// What a flag reader does with what it found: the value it goes on with, and whether it stores 1.
// Only a missing value (the key missing included) is stored; one that exists is never rewritten,
// even when its bytes could not be read after its size was, and then counts as on.
struct FlagReading {
    bool on;
    bool storeOne;
};
FlagReading ReadFlagFrom(bool exists, bool read, const std::vector<unsigned char>& data,
                         bool wholeDword);

// The numeric code of the first byte, as the read log lines show it; 0 for no data.
int FirstByteCode(const std::vector<unsigned char>& data);

// The backup files read "backupFolder" into a fixed buffer of this many bytes.
constexpr size_t BACKUP_FOLDER_BUFFER = 260;

// The backup files' view of "backupFolder": fitted tells whether the value fitted the fixed
// buffer. A value that did not fit reads as empty, and so does one that filled the buffer with
// no room for the terminating zero (260 characters stored without it), which would otherwise be
// a path one character too long for the paths built from it.
std::string BackupFolderFromBuffer(bool fitted, const std::vector<unsigned char>& data);

} // namespace AppSettings
