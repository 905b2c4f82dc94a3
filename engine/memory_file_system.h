// An in-memory file system for the engine's tests, fuzzers and benchmarks, with faults to order.
#pragma once

#include "engine/file_system.h"

#include <functional>
#include <map>
#include <set>
#include <string>

namespace engine {

class MemoryFileSystem : public FileSystem {
public:
    struct Node {
        std::string name; // as created
        bool directory = false;
        std::string bytes;
        uint64_t lastWrite = 0;
    };

    FsStatus List(const std::string& folder, std::vector<DirEntry>* out) override;
    FsStatus Stat(const std::string& path, DirEntry* out) override;
    FsStatus OpenRead(const std::string& path, std::unique_ptr<FileReader>* out) override;
    FsStatus Create(const std::string& path, std::unique_ptr<FileWriter>* out) override;
    FsStatus Rename(const std::string& from, const std::string& to) override;
    FsStatus RemoveFile(const std::string& path) override;
    FsStatus RemoveFolder(const std::string& path) override;
    FsStatus MakeFolder(const std::string& path) override;
    bool DrivePresent(char letter) override;

    // A drive ("C:") or share ("\\NAS1\anne") root.
    void AddRoot(const std::string& root);
    // Adds a file with its folders.
    void AddFile(const std::string& path, const std::string& bytes, uint64_t lastWrite = 1);
    void AddFolder(const std::string& path);
    bool Exists(const std::string& path) const;
    // The content of a file, or "<missing>".
    std::string Content(const std::string& path) const;
    // Every path below a folder (files and folders), in key order, relative to it.
    std::vector<std::string> Below(const std::string& folder) const;

    // Faults. Paths are compared without regard to case.
    std::set<std::string> denied;      // listing, reading or writing fails: Denied
    std::set<std::string> locked;      // opening for reading fails: Denied
    std::set<std::string> unreachable; // every path below fails: Unreachable
    std::string absentDrives;          // letters whose drive is not there
    long failWriteAfter = -1;          // the next writes fail once this many bytes went through
    // Called before each read with the path and the position; the tests cancel from here.
    std::function<void(const std::string& path, uint64_t position)> onRead;
    // Every change made, "create P", "rename A B", "remove P", "rmdir P", "mkdir P".
    std::vector<std::string> changes;

    static std::string Key(const std::string& path);

private:
    friend class MemoryFileWriter;
    FsStatus Check(const std::string& path) const;
    bool ParentIsFolder(const std::string& key) const;

    std::map<std::string, Node> nodes_;
};

} // namespace engine
