// What the backup data files need from the system: files, the data folder, settings, the computer
// name.
#pragma once

#include "backup/lead_bytes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace backup {

// File attribute bits and creation dispositions, with the values the system gives them.
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kAttrOffline = 0x1000;
constexpr uint32_t kCreateNew = 1;
constexpr uint32_t kCreateAlways = 2;
constexpr uint32_t kOpenExisting = 3;
constexpr uint32_t kOpenAlways = 4;
constexpr uint32_t kTruncateExisting = 5;

struct FileInfo {
    uint32_t attributes = 0;
    uint32_t sizeHigh = 0;
    uint32_t sizeLow = 0;
};

// What a directory search reports about one entry.
struct FindData {
    uint32_t attributes = 0;
    uint64_t lastWriteTime = 0; // 100 ns units since 1601, as the file system keeps it
    uint64_t size = 0;
};

// A file opened for reading with read sharing; closed when destroyed.
class ReadHandle {
public:
    virtual ~ReadHandle() = default;
    virtual bool Info(FileInfo* out) = 0;
    // One read call of up to n bytes; *got is what arrived.
    virtual bool Read(char* buffer, uint32_t n, uint32_t* got) = 0;
};

// A file being written. The new content goes to a temporary file beside the original, which is
// replaced in one step only by Close: a writer dropped without Close, or one whose write failed,
// leaves the previous file as it was. While it is open, other writers of the same file fail to
// open it.
class WriteHandle {
public:
    virtual ~WriteHandle() = default;
    virtual bool Write(const char* data, size_t n) = 0;
    virtual bool SeekToEnd() = 0;
    // Flushes and puts the new content in place; false when anything failed on the way.
    virtual bool Close() = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    // The shared data folder ending in "\Kelvox\TOV\" (created when missing), or empty when the
    // system has no common application-data folder.
    virtual std::string DataFolder() = 0;
    virtual std::unique_ptr<ReadHandle> OpenRead(const std::string& path) = 0;
    // True only when the system says there is no such file: a file that exists but cannot be
    // read is not missing, and a writer must then leave it alone.
    virtual bool Missing(const std::string& /*path*/) { return false; }
    // Null when the file cannot be opened for writing (another writer holds it, say).
    virtual std::unique_ptr<WriteHandle> OpenWrite(const std::string& path, uint32_t attributes,
                                                   uint32_t disposition, bool append) = 0;
    // Copies src over dst, replacing it.
    virtual bool CopyOver(const std::string& src, const std::string& dst) = 0;
    virtual bool Find(const std::string& path, FindData* out) = 0;
    // A per-user setting read with a 260-byte buffer: a longer value reads as empty. False when
    // the value or its key is missing.
    virtual bool UserSetting(const char* name, std::string* out) = 0;
    // The computer name, 16 characters at most.
    virtual std::string ComputerName() = 0;
    // The lead bytes of the code page that paths and names are written in.
    virtual const LeadBytes& CodePage() {
        static const LeadBytes singleByte;
        return singleByte;
    }
};

// The system's platform (on hosts other than Windows, an empty in-memory one).
Platform& DefaultPlatform();

} // namespace backup
