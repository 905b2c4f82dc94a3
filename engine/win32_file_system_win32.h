// The engine's file system on Windows: the local disks and the appliance's shares by UNC path.
#pragma once

#include "engine/file_system.h"

namespace engine {

class Win32FileSystem : public FileSystem {
public:
    FsStatus List(const std::string& folder, std::vector<DirEntry>* out) override;
    FsStatus Stat(const std::string& path, DirEntry* out) override;
    FsStatus OpenRead(const std::string& path, std::unique_ptr<FileReader>* out) override;
    FsStatus Create(const std::string& path, std::unique_ptr<FileWriter>* out) override;
    FsStatus Rename(const std::string& from, const std::string& to) override;
    FsStatus RemoveFile(const std::string& path) override;
    FsStatus RemoveFolder(const std::string& path) override;
    FsStatus MakeFolder(const std::string& path) override;
    bool DrivePresent(char letter) override;
};

// The status of a system error code.
FsStatus StatusOfError(unsigned long error);

} // namespace engine
