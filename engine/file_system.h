// What the backup engine needs from the file systems it reads and writes: listings, streams,
// renames and removals, each with a status that tells a missing path from one it cannot see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace engine {

enum class FsStatus {
    Ok,
    NotFound,    // the path is not there (its folder could be looked at)
    Denied,      // access denied, or the file is locked by another program
    Unreachable, // a network or device error: nothing can be said about the path
    TooLong,     // the path is longer than the system accepts
    Failed,      // any other failure (disk full, a name the system refuses)
};

const char* StatusText(FsStatus status);

struct DirEntry {
    std::string name;
    bool directory = false;
    bool link = false; // a junction or other reparse point: never followed
    uint64_t size = 0;
    uint64_t lastWrite = 0; // 100 ns units since 1601
};

class FileReader {
public:
    virtual ~FileReader() = default;
    // Up to n bytes; *got 0 with Ok is the end of the file.
    virtual FsStatus Read(char* buffer, size_t n, size_t* got) = 0;
};

// A file being written; closed when destroyed. The caller removes a file it did not finish.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    virtual FsStatus Write(const char* data, size_t n) = 0;
    // Gives the file its last-write time and closes it.
    virtual FsStatus Finish(uint64_t lastWrite) = 0;
};

// Paths use backslashes: "C:\Data\a.txt", "\\NAS1\anne\My Backup\OFFICE1\C\Data\a.txt". Names
// compare without regard to case, as on Windows.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The entries of a folder, without "." and "..".
    virtual FsStatus List(const std::string& folder, std::vector<DirEntry>* out) = 0;
    virtual FsStatus Stat(const std::string& path, DirEntry* out) = 0;
    virtual FsStatus OpenRead(const std::string& path, std::unique_ptr<FileReader>* out) = 0;
    // Creates the file or empties an existing one.
    virtual FsStatus Create(const std::string& path, std::unique_ptr<FileWriter>* out) = 0;
    // Moves a file or folder, replacing a file at the target.
    virtual FsStatus Rename(const std::string& from, const std::string& to) = 0;
    virtual FsStatus RemoveFile(const std::string& path) = 0;
    // Removes an empty folder.
    virtual FsStatus RemoveFolder(const std::string& path) = 0;
    // Creates one folder; Ok when it is already there.
    virtual FsStatus MakeFolder(const std::string& path) = 0;
    // Whether the drive letter stands for a drive at all (a USB disk unplugged does not).
    virtual bool DrivePresent(char letter) = 0;
};

} // namespace engine
