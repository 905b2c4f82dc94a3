// The engine's file system on Windows.
#include "engine/win32_file_system_win32.h"

#include <windows.h>

#include "engine/paths.h"

namespace engine {

namespace {

uint64_t Time(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool TooLong(const std::string& path) { return path.size() >= MAX_PATH; }

FsStatus LastStatus() { return StatusOfError(GetLastError()); }

class Win32Reader : public FileReader {
public:
    explicit Win32Reader(HANDLE h) : h_(h) {}
    ~Win32Reader() override { CloseHandle(h_); }
    FsStatus Read(char* buffer, size_t n, size_t* got) override {
        DWORD done = 0;
        if (!ReadFile(h_, buffer, static_cast<DWORD>(n), &done, nullptr)) {
            *got = 0;
            return LastStatus();
        }
        *got = done;
        return FsStatus::Ok;
    }

private:
    HANDLE h_;
};

class Win32Writer : public FileWriter {
public:
    explicit Win32Writer(HANDLE h) : h_(h) {}
    ~Win32Writer() override {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    FsStatus Write(const char* data, size_t n) override {
        while (n > 0) {
            DWORD done = 0;
            if (!WriteFile(h_, data, static_cast<DWORD>(n), &done, nullptr))
                return LastStatus();
            if (done == 0)
                return FsStatus::Failed;
            data += done;
            n -= done;
        }
        return FsStatus::Ok;
    }
    FsStatus Finish(uint64_t lastWrite) override {
        FsStatus s = FsStatus::Ok;
        if (lastWrite) {
            FILETIME t{static_cast<DWORD>(lastWrite), static_cast<DWORD>(lastWrite >> 32)};
            if (!SetFileTime(h_, nullptr, nullptr, &t))
                s = LastStatus();
        }
        if (!CloseHandle(h_) && s == FsStatus::Ok)
            s = LastStatus();
        h_ = INVALID_HANDLE_VALUE;
        return s;
    }

private:
    HANDLE h_;
};

} // namespace

FsStatus StatusOfError(unsigned long error) {
    switch (error) {
    case ERROR_SUCCESS:
        return FsStatus::Ok;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return FsStatus::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_NETWORK_ACCESS_DENIED:
        return FsStatus::Denied;
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_GEN_FAILURE:
    case ERROR_CRC:
    case ERROR_REM_NOT_LIST:
    case ERROR_BAD_NETPATH:
    case ERROR_NETWORK_BUSY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NET_NAME:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NO_NET_OR_BAD_PATH:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_IO_DEVICE:
    case ERROR_BAD_NET_RESP:
        return FsStatus::Unreachable;
    case ERROR_FILENAME_EXCED_RANGE:
        return FsStatus::TooLong;
    default:
        return FsStatus::Failed;
    }
}

FsStatus Win32FileSystem::List(const std::string& folder, std::vector<DirEntry>* out) {
    out->clear();
    const std::string pattern = Join(folder, "*");
    if (TooLong(pattern))
        return FsStatus::TooLong;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // an empty drive root has not even "."
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? FsStatus::Ok
                                                                             : StatusOfError(error);
    }
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        DirEntry e;
        e.name = name;
        e.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        e.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        e.lastWrite = Time(data.ftLastWriteTime);
        out->push_back(e);
    } while (FindNextFileA(find, &data));
    const DWORD error = GetLastError();
    FindClose(find);
    return error == ERROR_NO_MORE_FILES ? FsStatus::Ok : StatusOfError(error);
}

FsStatus Win32FileSystem::Stat(const std::string& path, DirEntry* out) {
    if (TooLong(path))
        return FsStatus::TooLong;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return LastStatus();
    out->name = LastComponent(path);
    out->directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out->link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    out->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    out->lastWrite = Time(data.ftLastWriteTime);
    return FsStatus::Ok;
}

FsStatus Win32FileSystem::OpenRead(const std::string& path, std::unique_ptr<FileReader>* out) {
    if (TooLong(path))
        return FsStatus::TooLong;
    // write sharing too: a file another program is writing can still be read; one it holds
    // without read sharing fails with a sharing violation and is skipped
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return LastStatus();
    *out = std::make_unique<Win32Reader>(h);
    return FsStatus::Ok;
}

FsStatus Win32FileSystem::Create(const std::string& path, std::unique_ptr<FileWriter>* out) {
    if (TooLong(path))
        return FsStatus::TooLong;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return LastStatus();
    *out = std::make_unique<Win32Writer>(h);
    return FsStatus::Ok;
}

FsStatus Win32FileSystem::Rename(const std::string& from, const std::string& to) {
    if (TooLong(from) || TooLong(to))
        return FsStatus::TooLong;
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
        return FsStatus::Ok;
    return LastStatus();
}

FsStatus Win32FileSystem::RemoveFile(const std::string& path) {
    if (TooLong(path))
        return FsStatus::TooLong;
    if (DeleteFileA(path.c_str()))
        return FsStatus::Ok;
    if (GetLastError() == ERROR_ACCESS_DENIED) {
        // a read-only backup copy
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) && DeleteFileA(path.c_str()))
            return FsStatus::Ok;
        SetLastError(ERROR_ACCESS_DENIED);
    }
    return LastStatus();
}

FsStatus Win32FileSystem::RemoveFolder(const std::string& path) {
    if (TooLong(path))
        return FsStatus::TooLong;
    return RemoveDirectoryA(path.c_str()) ? FsStatus::Ok : LastStatus();
}

FsStatus Win32FileSystem::MakeFolder(const std::string& path) {
    if (TooLong(path))
        return FsStatus::TooLong;
    if (CreateDirectoryA(path.c_str(), nullptr))
        return FsStatus::Ok;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                   ? FsStatus::Ok
                   : FsStatus::Failed;
    }
    return LastStatus();
}

bool Win32FileSystem::DrivePresent(char letter) {
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z')
        return false;
    return (GetLogicalDrives() >> (letter - 'A')) & 1;
}

} // namespace engine
