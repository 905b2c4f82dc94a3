// The base of the data files shared with the backup engine: load whole, read by lines, write
// safely.
#pragma once

#include "backup/platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace backup {

struct BackupEntry;

class AppDataFile {
public:
    explicit AppDataFile(Platform* platform = nullptr);
    virtual ~AppDataFile();
    AppDataFile(const AppDataFile&) = delete;
    AppDataFile& operator=(const AppDataFile&) = delete;

    // Virtual operations; their order is the one the engine-side classes share.
    virtual bool UseDefaultName();
    virtual bool SetName(const std::string& name);
    virtual bool Parse();
    virtual bool AppendItem(WriteHandle& handle, const BackupEntry& item);
    virtual bool WriteContents(WriteHandle& handle);
    virtual bool AcceptSize(uint32_t size);
    // The open handle or null; a file whose list follows its writes hands out one that keeps
    // the list in step with what the file holds.
    virtual std::unique_ptr<WriteHandle> OpenForWrite(uint32_t attributes, uint32_t disposition,
                                                      bool append);

    bool Read();
    // Whether the latest Read found no file at all (as against one it could not read).
    bool WasMissing() const { return missing_; }
    bool Save(uint32_t attributes = kAttrNormal, uint32_t disposition = kCreateAlways,
              bool append = false);
    static bool WriteText(WriteHandle& handle, const std::string& text);
    static bool WriteLine(WriteHandle& handle, const std::string& text);
    bool ReadLine(std::string* out) const;
    bool NextLine();

    const std::string& Path() const { return path_; }
    void SetPath(const std::string& path) { path_ = path; }
    uint32_t Size() const { return size_; }
    Platform& platform() const { return *platform_; }

protected:
    void ReleaseBuffer();

    Platform* platform_;
    std::string path_;
    std::unique_ptr<char[]> buffer_; // size_ + 5 bytes, zero-filled; only during a load
    size_t cursor_ = 0;
    uint32_t size_ = 0;
    bool missing_ = false;
};

} // namespace backup
