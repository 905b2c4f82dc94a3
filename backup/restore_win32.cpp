// Restoring a version on Windows: our own chunked copy, the folders, the replacement of the target.
#include "backup/restore_win32.h"

#include <memory>
#include <vector>

#include "app/log.h"
#include "backup/restore.h"
#include "backup/version_history.h"

namespace backup {

namespace {

struct HandleCloser {
    void operator()(void* h) const {
        if (h && h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// The seam's event names, read once for the process.
const std::string& HoldName() {
    static const std::string name = [] {
        char value[MAX_PATH] = "";
        const DWORD n = GetEnvironmentVariableA(kHoldVariable, value, sizeof value);
        return n > 0 && n < sizeof value ? std::string(value) : std::string();
    }();
    return name;
}

// Under the seam: says the copy is in its middle, then waits for a cancel or the go event.
void HoldForTest(const std::atomic<bool>* cancel) {
    const std::string& name = HoldName();
    if (name.empty())
        return;
    Handle held(OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str()));
    Handle go(OpenEventA(SYNCHRONIZE, FALSE, (name + "-go").c_str()));
    if (held)
        SetEvent(held.get());
    while (!(cancel && cancel->load())) {
        if (go && WaitForSingleObject(go.get(), 0) == WAIT_OBJECT_0)
            return;
        Sleep(5);
    }
}

void RemovePart(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

SYSTEMTIME LocalSystemTime(uint64_t lastWriteTime) {
    FILETIME utc, local;
    utc.dwLowDateTime = static_cast<DWORD>(lastWriteTime);
    utc.dwHighDateTime = static_cast<DWORD>(lastWriteTime >> 32);
    FileTimeToLocalFileTime(&utc, &local);
    SYSTEMTIME st{};
    FileTimeToSystemTime(&local, &st);
    return st;
}

} // namespace

DWORD CopyInChunks(const std::string& src, const std::string& dst, const CopyProgress& progress,
                   const std::atomic<bool>* cancel) {
    Handle in(CreateFileA(src.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (in.get() == INVALID_HANDLE_VALUE)
        return GetLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(in.get(), &info))
        return GetLastError();
    const uint64_t total = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    Handle out(CreateFileA(dst.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (out.get() == INVALID_HANDLE_VALUE)
        return GetLastError();

    DWORD error = 0;
    uint64_t done = 0;
    std::vector<char> chunk(kCopyChunkBytes);
    if (progress)
        progress(total, 0);
    bool first = true;
    while (done < total) {
        if (cancel && cancel->load()) {
            error = ERROR_REQUEST_ABORTED;
            break;
        }
        DWORD got = 0, put = 0;
        if (!ReadFile(in.get(), chunk.data(), kCopyChunkBytes, &got, nullptr)) {
            error = GetLastError();
            break;
        }
        if (got == 0) {
            error = ERROR_HANDLE_EOF; // the source shrank while it was copied
            break;
        }
        if (!WriteFile(out.get(), chunk.data(), got, &put, nullptr) || put != got) {
            error = put != got && GetLastError() == 0 ? ERROR_WRITE_FAULT : GetLastError();
            break;
        }
        done += got;
        if (progress)
            progress(total, done);
        if (first && done < total) {
            first = false;
            HoldForTest(cancel);
        }
    }
    if (!error && cancel && cancel->load() && done < total)
        error = ERROR_REQUEST_ABORTED;
    if (!error && !SetFileTime(out.get(), nullptr, nullptr, &info.ftLastWriteTime))
        error = GetLastError();
    if (!error && !FlushFileBuffers(out.get()))
        error = GetLastError();
    out.reset();
    if (!error) {
        const DWORD keep =
            info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        if (keep)
            SetFileAttributesA(dst.c_str(), keep);
        return 0;
    }
    RemovePart(dst);
    return error;
}

bool MakeDirectory(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr))
        return true;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    SetLastError(error);
    return false;
}

DWORD RestoreFile(const std::string& dir, const std::string& name, int level,
                  const CopyProgress& progress, const std::atomic<bool>* cancel,
                  const std::string& prefix, bool retryReadOnly, Platform* platform) {
    ShareVersionHistory history(dir, platform);
    const std::string source = history.PathAtLevel(dir + '\\' + name, level);
    const std::string target = RestoreTarget(dir, name, prefix, platform);
    WriteLog(LOG_TRACE, "Restoring <%s> to <%s>", source.c_str(), target.c_str());
    if (target.empty() || level < kFirstLevel)
        return ERROR_BAD_PATHNAME;
    const std::string folder = DirectoryOf(target);
    const DWORD folderAttributes = GetFileAttributesA(folder.c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES ||
        !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!CreateDirectoryTree(folder, MakeDirectory)) {
            const DWORD error = GetLastError();
            WriteLog(LOG_ERROR, "--- FAILED: Cannot create the folder <%s>: %lu", folder.c_str(),
                     static_cast<unsigned long>(error));
            return error ? error : ERROR_PATH_NOT_FOUND;
        }
    }

    // the existing target is touched only once the whole version is beside it
    const std::string part = target + kPartSuffix;
    if (GetFileAttributesA(part.c_str()) != INVALID_FILE_ATTRIBUTES)
        RemovePart(part);
    DWORD error = CopyInChunks(source, part, progress, cancel);
    if (error) {
        WriteLog(LOG_ERROR, "--- FAILED: Copy of <%s> ended with %lu", source.c_str(),
                 static_cast<unsigned long>(error));
        return error;
    }
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    const DWORD attributes = GetFileAttributesA(target.c_str());
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    // Windows refuses to replace a read-only file (Wine does not): the attribute is taken off
    // for the replacement and put back on the new file, the same on both
    if (!readOnly) {
        if (MoveFileExA(part.c_str(), target.c_str(), flags))
            return 0;
        error = GetLastError();
    } else if (!retryReadOnly) {
        error = ERROR_ACCESS_DENIED;
    } else {
        SetFileAttributesA(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        const bool replaced = MoveFileExA(part.c_str(), target.c_str(), flags) != FALSE;
        error = replaced ? 0 : GetLastError();
        // the file now there, new or old, gets the attributes the target had
        SetFileAttributesA(target.c_str(), attributes);
        if (replaced)
            return 0;
    }
    WriteLog(LOG_ERROR, "--- FAILED: Cannot replace <%s>: %lu", target.c_str(),
             static_cast<unsigned long>(error));
    RemovePart(part);
    return error;
}

std::string VersionText(uint64_t lastWriteTime) {
    const SYSTEMTIME st = LocalSystemTime(lastWriteTime);
    char date[64] = "", time[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "M/d/yyyy", date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, "h:mm tt", time, sizeof time);
    return std::string(date) + ' ' + time;
}

std::string ModifiedTextOf(uint64_t lastWriteTime) {
    const SYSTEMTIME st = LocalSystemTime(lastWriteTime);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.weekday = st.wDayOfWeek;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return ModifiedText(t);
}

} // namespace backup
