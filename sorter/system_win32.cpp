// The sorter's file moves, listings, settings and folder names on Windows.
#include "sorter/system_win32.h"

#include "app/language.h"
#include "app/log.h"
#include "app/settings.h"
#include "app/settings_rules.h"

namespace sorter {
namespace {

uint64_t FileTimeValue(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool InUseError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool TakenError(DWORD error) { return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS; }

std::string Trimmed(const char* name, AppSettings::Root root = AppSettings::Root::CurrentUser) {
    return AppSettings::ReadTrimmed(root, name);
}

// A flag as the screens decide it (first byte); missing is on.
bool FlagOn(const char* name) {
    const AppSettings::RawValue value = AppSettings::ReadRaw(AppSettings::Root::CurrentUser, name);
    return !value.read || AppSettings::FlagFromBytes(value.data, false);
}

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace

std::string OwnFolder() {
    char path[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n < sizeof path ? n : 0);
    const size_t slash = folder.rfind('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

WindowsSortSystem::WindowsSortSystem() {
    const app::LanguageEntry* entry =
        app::FindLanguage(AppSettings::ReadTrimmed(AppSettings::Root::LocalMachine, "Language"));
    if (!entry)
        return;
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    language =
        LoadLibraryExA((OwnFolder() + entry->library).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    SetErrorMode(oldMode);
    WriteLog(LOG_DETAIL, "  Folder names from <%s>%s", entry->library,
             language ? "" : ": not found, English names");
}

WindowsSortSystem::~WindowsSortSystem() {
    if (language)
        FreeLibrary(language);
}

bool WindowsSortSystem::List(const std::string& folder, std::vector<RootEntry>* entries) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        RootEntry entry;
        entry.name = name;
        entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.writeTime = FileTimeValue(data.ftLastWriteTime);
        entries->push_back(entry);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
}

bool WindowsSortSystem::MakeFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr))
        return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

MoveResult WindowsSortSystem::Move(const std::string& from, const std::string& to,
                                   bool otherShare) {
    if (otherShare)
        return CopyAcross(from, to);
    // A program that still writes the file holds it open: no sharing at all tells it.
    HANDLE file = CreateFileA(from.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return InUseError(GetLastError()) ? MoveResult::Busy : MoveResult::Failed;
    CloseHandle(file);
    if (MoveFileA(from.c_str(), to.c_str()))
        return MoveResult::Moved;
    const DWORD error = GetLastError();
    if (TakenError(error))
        return MoveResult::Taken;
    if (InUseError(error))
        return MoveResult::Busy;
    if (error == ERROR_NOT_SAME_DEVICE)
        return CopyAcross(from, to);
    WriteLog(LOG_ERROR, "--- ERROR: Move <%s> to <%s> error %lu", from.c_str(), to.c_str(),
             static_cast<unsigned long>(error));
    return MoveResult::Failed;
}

// Another share is another volume: the file is copied from a handle that keeps writers out, and
// the original goes only once the copy is complete. A writer still at work shows as a handle
// that refuses to share reading.
MoveResult WindowsSortSystem::CopyAcross(const std::string& from, const std::string& to) {
    HANDLE source = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (source == INVALID_HANDLE_VALUE)
        return InUseError(GetLastError()) ? MoveResult::Busy : MoveResult::Failed;
    HANDLE target = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        CloseHandle(source);
        return TakenError(error) ? MoveResult::Taken : MoveResult::Failed;
    }
    bool copied = true;
    static char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0, put = 0;
        if (!ReadFile(source, buffer, sizeof buffer, &got, nullptr)) {
            copied = false;
            break;
        }
        if (got == 0)
            break;
        if (!WriteFile(target, buffer, got, &put, nullptr) || put != got) {
            copied = false;
            break;
        }
    }
    FILETIME created, accessed, written;
    if (copied && GetFileTime(source, &created, &accessed, &written))
        SetFileTime(target, &created, &accessed, &written);
    CloseHandle(target);
    CloseHandle(source);
    if (!copied) {
        DeleteFileA(to.c_str());
        return MoveResult::Failed;
    }
    if (!DeleteFileA(from.c_str())) {
        // opened again meanwhile: the copy goes, the original is tried again later
        const DWORD error = GetLastError();
        DeleteFileA(to.c_str());
        return InUseError(error) || error == ERROR_ACCESS_DENIED ? MoveResult::Busy
                                                                 : MoveResult::Failed;
    }
    return MoveResult::Moved;
}

std::string WindowsSortSystem::FolderName(int stringId, const char* english) {
    char text[260] = "";
    const HMODULE module = language ? language : GetModuleHandleA(nullptr);
    const int n = LoadStringA(module, static_cast<UINT>(stringId), text, sizeof text);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string(english);
}

void WindowsSortSystem::StartFirstDragNotice() {
    std::string folder =
        WithBackslash(Trimmed("installDirectory", AppSettings::Root::LocalMachine));
    if (folder.empty())
        folder = OwnFolder();
    const std::string program = folder + "tovManager.exe";
    std::string commandLine = "\"" + program + "\" -firstDrag";
    WriteLog(LOG_TRACE, "Starting <%s> -firstDrag", program.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        WriteLog(LOG_ERROR, "--- ERROR: Failed to start <%s> error %lu", program.c_str(),
                 static_cast<unsigned long>(GetLastError()));
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

SortConfig ReadSortConfig() {
    SortConfig config;
    config.enabled = FlagOn("EnableSort");
    config.sortMyFolder = FlagOn("SortMyFolder");
    const AppSettings::RawValue business =
        AppSettings::ReadRaw(AppSettings::Root::CurrentUser, "businessSort");
    if (business.read)
        config.account = AppSettings::FlagFromBytes(business.data, true)
                             ? SortConfig::Account::Business
                             : SortConfig::Account::Home;
    config.root = Trimmed("shareDriveLetter");
    while (!config.root.empty() && config.root.back() == '\\')
        config.root.pop_back();
    config.publicFolder = Trimmed("PublicSortFolder");
    config.firstDragShown = Trimmed("FirstDrag") == "FALSE";
    return config;
}

} // namespace sorter
