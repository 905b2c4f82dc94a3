// The backup data files' platform on Windows: shared files with open access, saved in one step.
#include "backup/platform_win32.h"

#include <atomic>
#include <cstdio>

#include <shlobj.h>

namespace backup {

OpenAccessAttributes::OpenAccessAttributes() {
    InitializeSecurityDescriptor(&sd_, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd_, TRUE, nullptr, FALSE);
    sa_.nLength = sizeof sa_;
    sa_.lpSecurityDescriptor = &sd_;
    sa_.bInheritHandle = FALSE;
}

namespace {

// A reader that holds the file (the engine reading it, say) stops the replace; such reads are
// short, so the replace is tried again for about half a second before the save gives up.
bool Replace(const std::string& from, const std::string& to) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 19)
            return false;
        Sleep(25);
    }
}

class Win32Reader : public ReadHandle {
public:
    explicit Win32Reader(HANDLE h) : h_(h) {}
    ~Win32Reader() override { CloseHandle(h_); }
    bool Info(FileInfo* out) override {
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(h_, &info))
            return false;
        out->attributes = info.dwFileAttributes;
        out->sizeHigh = info.nFileSizeHigh;
        out->sizeLow = info.nFileSizeLow;
        return true;
    }
    bool Read(char* buffer, uint32_t n, uint32_t* got) override {
        DWORD done = 0;
        BOOL ok = ReadFile(h_, buffer, n, &done, nullptr);
        *got = done;
        return ok != FALSE;
    }

private:
    HANDLE h_;
};

// Holds the original open for writing with read sharing, exactly as a plain writer would, so
// that a second writer fails to open it and readers meet the same sharing; the new content goes
// into a temporary file beside it, which replaces the original once it is complete and flushed.
class Win32Writer : public WriteHandle {
public:
    Win32Writer(std::string path, HANDLE original, bool created, std::string saving, HANDLE temp,
                long failAfter)
        : path_(std::move(path)), original_(original), created_(created),
          saving_(std::move(saving)), temp_(temp), failAfter_(failAfter) {}
    ~Win32Writer() override {
        if (temp_ != INVALID_HANDLE_VALUE)
            Abandon();
    }
    bool Write(const char* data, size_t n) override {
        if (failed_ || temp_ == INVALID_HANDLE_VALUE)
            return false;
        if (failAfter_ >= 0) {
            if (static_cast<long>(n) > failAfter_) {
                failed_ = true;
                return false;
            }
            failAfter_ -= static_cast<long>(n);
        }
        DWORD done = 0;
        if (!WriteFile(temp_, data, static_cast<DWORD>(n), &done, nullptr) || done != n)
            failed_ = true;
        return !failed_;
    }
    bool SeekToEnd() override {
        if (temp_ == INVALID_HANDLE_VALUE)
            return false;
        return SetFilePointer(temp_, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER ||
               GetLastError() == NO_ERROR;
    }
    bool Close() override {
        if (temp_ == INVALID_HANDLE_VALUE)
            return false;
        if (failed_ || !FlushFileBuffers(temp_)) {
            Abandon();
            return false;
        }
        CloseHandle(temp_);
        temp_ = INVALID_HANDLE_VALUE;
        // The system cannot replace a file that is open, so the hold on the original ends here;
        // should another writer slip in now, the replace fails and the file stays whole.
        CloseHandle(original_);
        if (!Replace(saving_, path_)) {
            DWORD error = GetLastError();
            DeleteFileA(saving_.c_str());
            if (created_)
                DeleteFileA(path_.c_str());
            SetLastError(error);
            return false;
        }
        return true;
    }

private:
    void Abandon() {
        CloseHandle(temp_);
        temp_ = INVALID_HANDLE_VALUE;
        DeleteFileA(saving_.c_str());
        CloseHandle(original_);
        // A file that only this writer brought into being goes again: there was none before.
        if (created_)
            DeleteFileA(path_.c_str());
    }

    std::string path_;
    HANDLE original_;
    bool created_;
    std::string saving_;
    HANDLE temp_;
    long failAfter_;
    bool failed_ = false;
};

// Creates the temporary file of one writer beside path: "<path>.<process>-<writer>.saving", a
// name no other writer of this process uses and, since it is created only when it does not exist
// yet, none of another process either. Its name goes to *saving.
HANDLE CreateSavingFile(const std::string& path, uint32_t attributes, SECURITY_ATTRIBUTES* access,
                        std::string* saving) {
    static std::atomic<unsigned long> writers{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".%lx-%lx.saving",
                      static_cast<unsigned long>(GetCurrentProcessId()), ++writers);
        *saving = path + suffix;
        HANDLE temp = CreateFileA(saving->c_str(), GENERIC_WRITE, FILE_SHARE_READ, access,
                                  CREATE_NEW, attributes, nullptr);
        DWORD error = GetLastError();
        // A name left by a process that ended long ago under the same id: take the next one.
        if (temp != INVALID_HANDLE_VALUE ||
            (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS))
            return temp;
    }
    return INVALID_HANDLE_VALUE;
}

// Copies the current content of the original into the temporary file (non-truncating openings).
bool CopyContent(HANDLE from, HANDLE to) {
    char buf[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from, buf, sizeof buf, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        DWORD done = 0;
        if (!WriteFile(to, buf, got, &done, nullptr) || done != got)
            return false;
    }
}

} // namespace

std::string Win32Platform::DataFolder() {
    char base[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, base)))
        return std::string();
    std::string folder = std::string(base) + "\\Kelvox";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\TOV";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

std::unique_ptr<ReadHandle> Win32Platform::OpenRead(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32Reader>(h);
}

std::unique_ptr<WriteHandle> Win32Platform::OpenWrite(const std::string& path, uint32_t attributes,
                                                      uint32_t disposition, bool /*append*/) {
    // The original is never truncated in place: only the finished temporary file replaces it.
    DWORD hold;
    switch (disposition) {
    case CREATE_NEW:
        hold = CREATE_NEW;
        break;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
        hold = OPEN_EXISTING;
        break;
    default:
        hold = OPEN_ALWAYS;
        break;
    }
    bool keep = disposition == OPEN_EXISTING || disposition == OPEN_ALWAYS;
    OpenAccessAttributes access;
    HANDLE original = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  access.get(), hold, attributes, nullptr);
    if (original == INVALID_HANDLE_VALUE)
        return nullptr;
    bool created = hold == CREATE_NEW || (hold == OPEN_ALWAYS && GetLastError() == NO_ERROR);
    std::string saving;
    HANDLE temp = CreateSavingFile(path, attributes, access.get(), &saving);
    if (temp == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        CloseHandle(original);
        if (created)
            DeleteFileA(path.c_str());
        SetLastError(error);
        return nullptr;
    }
    auto writer =
        std::make_unique<Win32Writer>(path, original, created, saving, temp, failWriteAfter);
    if (keep && !CopyContent(original, temp))
        return nullptr; // the writer abandons the temporary file
    return writer;
}

bool Win32Platform::CopyOver(const std::string& src, const std::string& dst) {
    return CopyFileA(src.c_str(), dst.c_str(), FALSE) != FALSE;
}

bool Win32Platform::Find(const std::string& path, FindData* out) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(path.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    out->attributes = data.dwFileAttributes;
    out->lastWriteTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
    out->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool Win32Platform::UserSetting(const char* name, std::string* out) {
    return reader_ && reader_(name, out);
}

std::string Win32Platform::ComputerName() {
    char name[17] = "";
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size))
        return std::string();
    return name;
}

} // namespace backup

namespace backup {

bool Win32Platform::Missing(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

const LeadBytes& Win32Platform::CodePage() {
    // The system's table is made once for every thread that asks; it does not change while the
    // program runs.
    static const LeadBytes system = CodePageLeadBytes(CP_ACP);
    if (codePage == 0)
        return system;
    if (leadBytesOf_ != codePage) {
        leadBytes_ = CodePageLeadBytes(codePage);
        leadBytesOf_ = codePage;
    }
    return leadBytes_;
}

LeadBytes CodePageLeadBytes(unsigned codePage) {
    LeadBytes lead;
    for (unsigned b = 0; b <= 0xFF; ++b) {
        if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b)))
            lead.Mark(static_cast<unsigned char>(b), static_cast<unsigned char>(b));
    }
    return lead;
}

} // namespace backup
