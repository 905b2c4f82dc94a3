// tovengine.exe's server: the COM class object, the resident engine's thread and schedule, and
// its registration.
#include "engine/engine_server_win32.h"

#include <windows.h>
#include <ole2.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "app/settings.h"
#include "backup/backup_config.h"
#include "backup/platform_win32.h"
#include "backup/progress_record.h"
#include "backup/schedule_config.h"
#include "engine/engine_core.h"
#include "engine/notice.h"
#include "engine/paths.h"
#include "engine/schedule_clock.h"
#include "engine/tovengine.h"
#include "engine/tray_win32.h"
#include "engine/win32_file_system_win32.h"

namespace engine {

namespace {

// {BF647682-2FED-49CE-9429-912485AC040C}
const CLSID kEngineClass = {
    0xBF647682, 0x2FED, 0x49CE, {0x94, 0x29, 0x91, 0x24, 0x85, 0xAC, 0x04, 0x0C}};
constexpr const char* kClassKey = "CLSID\\{BF647682-2FED-49CE-9429-912485AC040C}";
constexpr const char* kWindowClass = "TovEngineWindow";
constexpr const char* kProxyDll = "tovengineps.dll";
// How often the schedule is looked at.
constexpr UINT kScheduleTimerMs = 20000;
constexpr UINT_PTR kScheduleTimer = 1;
// Least time between two progress records while a file is being copied.
constexpr DWORD kPublishEveryMs = 100;

std::string ModuleFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\'));
}

std::string UserName() {
    char name[256] = "";
    DWORD n = sizeof name;
    if (!GetUserNameA(name, &n))
        return "user";
    return name;
}

// A name fit for a file: the characters Windows refuses become "_".
std::string FileNamePart(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (std::strchr("\\/:*?\"<>|", c) || static_cast<unsigned char>(c) < 32)
            c = '_';
    }
    return out;
}

int64_t NowMinute() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return MinuteOf({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute});
}

// The data files' platform, with the data folder that the lab's tests may move
// (TOV_ENGINE_DATA); the engine reads no per-user settings.
class EngineDataPlatform : public backup::Win32Platform {
public:
    std::string DataFolder() override {
        char moved[MAX_PATH] = "";
        if (GetEnvironmentVariableA("TOV_ENGINE_DATA", moved, sizeof moved) > 0)
            return WithTrailingSlash(moved);
        return Win32Platform::DataFolder();
    }
};

// The engine's side of the progress channel: the same three named objects as the client's.
class ProgressPublisher {
public:
    ProgressPublisher() {
        InitializeCriticalSection(&lock_);
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      backup::kProgressRecordSize, backup::kProgressMappingName);
        if (mapping_)
            view_ = static_cast<unsigned char*>(
                MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, backup::kProgressRecordSize));
        event_ = CreateEventA(nullptr, FALSE, FALSE, backup::kProgressEventName);
        if (!event_)
            event_ = OpenEventA(EVENT_ALL_ACCESS, FALSE, backup::kProgressEventName);
        mutex_ = CreateMutexA(nullptr, FALSE, backup::kProgressMutexName);
        if (!mutex_)
            mutex_ = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, backup::kProgressMutexName);
    }
    ~ProgressPublisher() {
        if (view_)
            UnmapViewOfFile(view_);
        for (HANDLE h : {mapping_, event_, mutex_}) {
            if (h)
                CloseHandle(h);
        }
        DeleteCriticalSection(&lock_);
    }

    void Publish(const backup::ProgressRecord& record, bool force) {
        EnterCriticalSection(&lock_);
        const DWORD now = GetTickCount();
        if ((force || now - last_ >= kPublishEveryMs) && view_ && mutex_) {
            last_ = now;
            const DWORD got = WaitForSingleObject(mutex_, 1000);
            if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
                backup::EncodeProgress(record, view_);
                ReleaseMutex(mutex_);
                SetEvent(event_);
            }
        }
        LeaveCriticalSection(&lock_);
    }

private:
    CRITICAL_SECTION lock_;
    HANDLE mapping_ = nullptr;
    unsigned char* view_ = nullptr;
    HANDLE event_ = nullptr;
    HANDLE mutex_ = nullptr;
    DWORD last_ = 0;
};

enum class Job { Backup, ForceChange, CleanAll, Clean };

struct Pending {
    Job job;
    std::string argument;
    HANDLE done; // set when the job has run, or null
    RunCause cause;
};

class Server : public EngineHost {
public:
    Server() {
        InitializeCriticalSection(&lock_);
        InitializeCriticalSection(&logLock_);
        wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        logFolder_ = data_.DataFolder() + "log\\";
        CreateDirectoryA(logFolder_.c_str(), nullptr);
        user_ = FileNamePart(UserName());
        char pace[16] = "";
        if (GetEnvironmentVariableA("TOV_ENGINE_PACE_MS", pace, sizeof pace) > 0)
            pace_ = static_cast<DWORD>(std::atoi(pace));
    }
    ~Server() override {
        CloseHandle(wake_);
        DeleteCriticalSection(&logLock_);
        DeleteCriticalSection(&lock_);
    }

    // EngineHost, for the commands run on the engine's thread.
    FileSystem& Files() override { return fs_; }
    backup::Platform& DataFiles() override { return data_; }
    void Log(const std::string& account, const std::string& line) override {
        const std::string name = account.empty() ? "tovengine" : "kelback_" + FileNamePart(account);
        const std::string path = logFolder_ + name + ".log";
        SYSTEMTIME t;
        GetLocalTime(&t);
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%02u/%02u/%04u %02u:%02u:%02u  ", t.wMonth, t.wDay,
                      t.wYear, t.wHour, t.wMinute, t.wSecond);
        const std::string text = stamp + line + "\r\n";
        EnterCriticalSection(&logLock_);
        HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD done = 0;
            WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
            CloseHandle(h);
        }
        LeaveCriticalSection(&logLock_);
    }
    void Publish(const backup::ProgressRecord& record, bool force) override {
        publisher_.Publish(record, force);
    }
    // Asked before every piece of a file copied; the lab's tests slow a run down here
    // (TOV_ENGINE_PACE_MS) to act in the middle of it.
    bool Cancelled() override {
        if (pace_)
            Sleep(pace_);
        return InterlockedCompareExchange(&cancel_, 0, 0) != 0;
    }
    std::string Today() override {
        SYSTEMTIME t;
        GetLocalTime(&t);
        return StateDate({t.wYear, t.wMonth, t.wDay, 0, 0});
    }
    std::string ComputerName() override { return data_.ComputerName(); }
    std::string JournalPath() override { return logFolder_ + "tovengine_" + user_ + ".pending"; }

    bool Start() {
        thread_ = CreateThread(nullptr, 0, &Server::ThreadMain, this, 0, nullptr);
        return thread_ != nullptr;
    }

    void Stop() {
        EnterCriticalSection(&lock_);
        quitting_ = true;
        LeaveCriticalSection(&lock_);
        InterlockedExchange(&cancel_, 1);
        SetEvent(wake_);
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
    }

    // A command from a client, on the server's thread.
    HRESULT Command(const char* text, int length) {
        const engine::Command c = ParseCommand(text, length);
        switch (c.kind) {
        case CommandKind::Backup:
            StartBackup("Backup requested", RunCause::Started);
            return S_OK;
        case CommandKind::Cancel:
            if (BackupActive()) {
                Log("", "Cancel requested");
                InterlockedExchange(&cancel_, 1);
            }
            return S_OK;
        case CommandKind::Reschedule:
            LoadSchedule();
            return S_OK;
        case CommandKind::ForceChange:
            RunJob(Job::ForceChange, "", "settings force_change");
            return S_OK;
        case CommandKind::CleanAll:
            RunJob(Job::CleanAll, "", "settings clean_all");
            return S_OK;
        case CommandKind::Clean:
            RunJob(Job::Clean, c.argument, "clean " + c.argument);
            return S_OK;
        case CommandKind::Unknown:
            break;
        }
        Log("", "--- ERROR: unknown command ignored");
        return E_INVALIDARG;
    }

    void LoadSchedule() {
        backup::ScheduleConfig config(&data_);
        schedule_ = {config.On(), config.Days(), config.Hour(), config.Minute()};
        int64_t next = 0;
        if (NextScheduled(schedule_, NowMinute(), &next))
            Log("", "Schedule read: next backup at " + FormatMinute(next));
        else
            Log("", "Schedule read: no scheduled backup");
    }

    // Where the user hears of failed runs and missed schedules; set before Start.
    void SetTray(Tray* tray) { tray_ = tray; }

    // "Back up now" from the tray.
    void BackUpNow() { StartBackup("Backup requested from the tray", RunCause::Started); }

    // Runs the backup whose time has come since the last look; one the computer slept through
    // is told about and offered instead.
    void CheckSchedule() {
        const int64_t now = NowMinute();
        const int64_t last = lastLook_;
        lastLook_ = now;
        int64_t due = 0;
        switch (ScheduleTurn(schedule_, last, now, &due)) {
        case Turn::RunNow:
            StartBackup("Scheduled backup", RunCause::Scheduled);
            break;
        case Turn::Missed: {
            bool remembered = false;
            EngineMemory memory = LoadMemory(&remembered);
            if (memory.lastRun >= due || memory.lastOffered >= due)
                break;
            Log("",
                "Scheduled backup of " + FormatMinute(due) + " missed: this computer was asleep");
            const std::vector<std::string> appliances = SelectedAppliances();
            if (appliances.empty())
                break;
            memory.lastOffered = due;
            SaveMemory(memory);
            Tell(MissedNotice(due, appliances, true));
            OfferRun(due);
            break;
        }
        case Turn::None:
            break;
        }
    }

    // At start: a scheduled time that passed without a run is offered once.
    void OfferMissedRun() {
        lastLook_ = NowMinute();
        bool remembered = false;
        EngineMemory memory = LoadMemory(&remembered);
        int64_t missed = 0;
        if (!remembered) {
            memory.lastOffered = lastLook_;
            SaveMemory(memory);
            return;
        }
        if (!MissedRun(schedule_, memory, true, lastLook_, &missed))
            return;
        const std::vector<std::string> appliances = SelectedAppliances();
        if (appliances.empty())
            return;
        memory.lastOffered = missed;
        SaveMemory(memory);
        Tell(MissedNotice(missed, appliances, false));
        OfferRun(missed);
    }

private:
    // The missed-backup question of the program.
    void OfferRun(int64_t missed) {
        std::string program;
        DWORD error = 0;
        if (StartManager("-missBackup", &program, &error))
            Log("", "Missed backup of " + FormatMinute(missed) + " offered");
        else
            Log("", "--- FAILED: cannot start " + program + " (" + std::to_string(error) + ")");
    }

    // The appliances of the selection's shares, each once.
    std::vector<std::string> SelectedAppliances() {
        std::vector<std::string> out;
        const auto shares =
            BuildSelections(backup::BackupConfig(&data_).Entries(), [](const std::string&) {});
        for (const ShareSelection& share : shares) {
            const std::string a = ApplianceOf(share.shareRoot);
            bool seen = false;
            for (const std::string& o : out)
                seen = seen || lstrcmpiA(o.c_str(), a.c_str()) == 0;
            if (!seen)
                out.push_back(a);
        }
        return out;
    }

    // The log holds every notice's line; the tray shows those to show.
    void Tell(const Notice& notice) {
        Log("", NoticeLogLine(notice));
        if (!notice.show)
            JournalNotice("quiet\t" + notice.quiet);
        else if (tray_)
            tray_->Post(notice);
    }

    static DWORD WINAPI ThreadMain(void* self) {
        static_cast<Server*>(self)->Work();
        return 0;
    }

    bool BackupActive() {
        EnterCriticalSection(&lock_);
        const bool active = backupActive_;
        LeaveCriticalSection(&lock_);
        return active;
    }

    void StartBackup(const std::string& why, RunCause cause) {
        EnterCriticalSection(&lock_);
        if (backupActive_) {
            LeaveCriticalSection(&lock_);
            Log("", why + ": ignored, a backup is running");
            return;
        }
        backupActive_ = true;
        InterlockedExchange(&cancel_, 0);
        // a fresh record before the call returns, so that a progress screen opened right after
        // it never sees the end of the previous run
        record_ = backup::ProgressRecord();
        record_.run = ++runs_;
        publisher_.Publish(record_, true);
        queue_.push_back({Job::Backup, "", nullptr, cause});
        LeaveCriticalSection(&lock_);
        Log("", why);
        SetEvent(wake_);
    }

    // Maintenance waits for the engine's thread when it is free (the client's please-wait page
    // waits for the call); behind a running backup it is queued and the call returns.
    void RunJob(Job job, const std::string& argument, const std::string& what) {
        EnterCriticalSection(&lock_);
        const bool wait = queue_.empty() && !busy_;
        HANDLE done = wait ? CreateEventA(nullptr, TRUE, FALSE, nullptr) : nullptr;
        queue_.push_back({job, argument, done, RunCause::Started});
        LeaveCriticalSection(&lock_);
        Log("", what + (wait ? "" : ": queued behind the running backup"));
        SetEvent(wake_);
        if (done) {
            WaitForSingleObject(done, INFINITE);
            CloseHandle(done);
        }
    }

    void Work() {
        for (;;) {
            EnterCriticalSection(&lock_);
            if (queue_.empty()) {
                const bool quit = quitting_;
                LeaveCriticalSection(&lock_);
                if (quit)
                    return;
                WaitForSingleObject(wake_, INFINITE);
                continue;
            }
            Pending p = queue_.front();
            queue_.pop_front();
            busy_ = true;
            const bool quit = quitting_;
            LeaveCriticalSection(&lock_);
            if (!quit || p.done)
                Do(p);
            EnterCriticalSection(&lock_);
            busy_ = false;
            if (p.job == Job::Backup)
                backupActive_ = false;
            LeaveCriticalSection(&lock_);
            if (p.done)
                SetEvent(p.done);
        }
    }

    void Do(const Pending& p) {
        switch (p.job) {
        case Job::Backup: {
            bool remembered = false;
            EngineMemory memory = LoadMemory(&remembered);
            memory.lastRun = NowMinute();
            SaveMemory(memory);
            backup::ProgressRecord record = record_;
            const RunSummary s = RunBackup(*this, &record);
            Log("", "Backup run ended: " + std::to_string(s.shares) + " shares, " +
                        std::to_string(s.counts.filesCopied) + " files copied");
            Tell(RunNotice(p.cause, s));
            break;
        }
        case Job::ForceChange:
            ForceChange(*this);
            break;
        case Job::CleanAll:
            CleanAll(*this);
            break;
        case Job::Clean:
            CleanPrefix(*this, p.argument);
            break;
        }
    }

    std::string MemoryPath() const { return logFolder_ + "tovengine_" + user_ + ".txt"; }

    EngineMemory LoadMemory(bool* remembered) {
        std::string text;
        HANDLE h = CreateFileA(MemoryPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        *remembered = h != INVALID_HANDLE_VALUE;
        if (h == INVALID_HANDLE_VALUE)
            return {};
        char buffer[1024];
        DWORD got = 0;
        if (ReadFile(h, buffer, sizeof buffer, &got, nullptr))
            text.assign(buffer, got);
        CloseHandle(h);
        return ParseMemory(text);
    }

    void SaveMemory(const EngineMemory& memory) {
        const std::string text = FormatMemory(memory);
        HANDLE h = CreateFileA(MemoryPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return;
        DWORD done = 0;
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
        CloseHandle(h);
    }

    CRITICAL_SECTION lock_;
    CRITICAL_SECTION logLock_;
    HANDLE wake_ = nullptr;
    HANDLE thread_ = nullptr;
    std::deque<Pending> queue_;
    bool quitting_ = false;
    bool busy_ = false;
    bool backupActive_ = false;
    volatile LONG cancel_ = 0;
    uint32_t runs_ = 0;
    backup::ProgressRecord record_;

    Win32FileSystem fs_;
    EngineDataPlatform data_;
    ProgressPublisher publisher_;
    std::string logFolder_;
    std::string user_;
    Schedule schedule_;
    int64_t lastLook_ = 0;
    DWORD pace_ = 0;
    Tray* tray_ = nullptr;
};

Server* g_server = nullptr;

void SetError(const wchar_t* text) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create)))
        return;
    create->SetGUID(IID_ITovEngine);
    create->SetSource(const_cast<LPOLESTR>(L"tovengine"));
    create->SetDescription(const_cast<LPOLESTR>(text));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
}

class EngineObject : public ITovEngine, public ISupportErrorInfo {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, IID_ITovEngine)) {
            *out = static_cast<ITovEngine*>(this);
        } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
            *out = static_cast<ISupportErrorInfo*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE SendCommand(char* text, int length) override {
        if (!text || !g_server)
            return E_POINTER;
        const HRESULT hr = g_server->Command(text, length);
        if (FAILED(hr))
            SetError(L"The backup engine does not know this command.");
        return hr;
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, IID_ITovEngine) ? S_OK : S_FALSE;
    }

private:
    virtual ~EngineObject() = default;
    LONG refs_ = 1;
};

class EngineFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        EngineObject* object = new EngineObject;
        const HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kScheduleTimer && g_server)
            g_server->CheckSchedule();
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

HWND FindEngineWindow() {
    const std::string title = "tovengine " + UserName();
    return FindWindowExA(HWND_MESSAGE, nullptr, kWindowClass, title.c_str());
}

bool SetKeyValue(const std::string& key, const char* name, const std::string& value) {
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG r = RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

// The proxy/stub DLL beside the program registers or removes itself.
bool CallProxyDll(bool add) {
    const std::string path = Join(ModuleFolder(), kProxyDll);
    HMODULE dll = LoadLibraryA(path.c_str());
    if (!dll)
        return false;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
        GetProcAddress(dll, add ? "DllRegisterServer" : "DllUnregisterServer")));
    const bool ok = entry && SUCCEEDED(entry());
    FreeLibrary(dll);
    return ok;
}

} // namespace

int Register(bool add) {
    if (!add) {
        const bool proxy = CallProxyDll(false);
        const LONG r = SHDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey);
        return proxy && (r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND) ? 0 : 1;
    }
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    const bool ok = SetKeyValue(kClassKey, nullptr, "Kelvox TOV Backup Engine") &&
                    SetKeyValue(std::string(kClassKey) + "\\LocalServer32", nullptr,
                                std::string("\"") + path + "\"") &&
                    CallProxyDll(true);
    return ok ? 0 : 1;
}

int QuitRunning() {
    HWND window = FindEngineWindow();
    if (!window)
        return 0;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!process)
        return 0;
    const DWORD r = WaitForSingleObject(process, 60000);
    CloseHandle(process);
    return r == WAIT_OBJECT_0 ? 0 : 1;
}

int BackUpNowRunning() {
    const std::string title = "tovengine tray " + UserName();
    HWND tray = FindWindowA(kTrayWindowClass, title.c_str());
    return tray && PostMessageA(tray, WM_COMMAND, kTrayBackUpNow, 0) ? 0 : 1;
}

int RunServer(bool embedding) {
    // one resident engine per user: a second start leaves the running one alone
    const std::string resident = "TOV_ENGINE_RESIDENT_" + FileNamePart(UserName());
    HANDLE once = CreateMutexA(nullptr, FALSE, resident.c_str());
    if (!once || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (once)
            CloseHandle(once);
        return 0;
    }
    if (FAILED(CoInitialize(nullptr)))
        return 1;
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    const std::string title = "tovengine " + UserName();
    HWND window = CreateWindowExA(0, kWindowClass, title.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, wc.hInstance, nullptr);

    Server server;
    g_server = &server;
    server.Log("", embedding ? "Engine started by a client" : "Engine started");
    // its own icon in the notification area, for as long as the engine runs
    Tray tray([&server] { server.BackUpNow(); },
              [&server](const std::string& line) { server.Log("", line); });
    tray.Create();
    server.SetTray(&tray);
    int result = 1;
    if (window && server.Start()) {
        static EngineFactory factory;
        DWORD cookie = 0;
        const HRESULT hr = CoRegisterClassObject(kEngineClass, &factory, CLSCTX_LOCAL_SERVER,
                                                 REGCLS_MULTIPLEUSE, &cookie);
        server.LoadSchedule();
        server.OfferMissedRun();
        SetTimer(window, kScheduleTimer, kScheduleTimerMs, nullptr);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (SUCCEEDED(hr))
            CoRevokeClassObject(cookie);
        server.Stop();
        tray.Destroy();
        server.Log("", "Engine ended");
        result = SUCCEEDED(hr) ? 0 : 1;
    }
    g_server = nullptr;
    CoUninitialize();
    CloseHandle(once);
    return result;
}

} // namespace engine
