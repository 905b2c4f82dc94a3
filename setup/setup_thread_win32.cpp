// SetupThread and the set-up worker's Windows side: WNet connections, files, shell links, the key.
#include "setup/setup_thread_win32.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <winnetwk.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "app/log.h"
#include "app/settings.h"
#include "app/settings_rules.h"
#include "setup/message_texts_win32.h"
#include "skin/resources_win32.h"

namespace setup {
namespace {

// Set only by lab tests that run many mapping attempts: the wait before each, in milliseconds.
// Unset, the product's wait holds.
unsigned MapWait(unsigned productMilliseconds) {
    char value[16] = "";
    if (GetEnvironmentVariableA("TOV_TEST_MAP_WAIT_MS", value, sizeof value) == 0)
        return productMilliseconds;
    return static_cast<unsigned>(std::strtoul(value, nullptr, 10));
}

char* Text(const std::string& s) { return const_cast<char*>(s.c_str()); }

// A NETRESOURCEA that points into the strings of a NetResource. An empty provider is passed as
// none: Windows takes both for "any provider", Wine's MPR takes "" for a provider's name.
NETRESOURCEA Native(const NetResource& r) {
    NETRESOURCEA n = {};
    n.dwScope = r.scope;
    n.dwType = r.type;
    n.dwDisplayType = r.displayType;
    n.dwUsage = r.usage;
    n.lpLocalName = r.localName.empty() ? nullptr : Text(r.localName);
    n.lpRemoteName = r.remoteName.empty() ? nullptr : Text(r.remoteName);
    n.lpComment = Text(r.comment);
    n.lpProvider = r.provider.empty() ? nullptr : Text(r.provider);
    return n;
}

std::string Copy(const char* s) { return s ? s : ""; }

class WindowsEnumeration : public NetEnumeration {
public:
    explicit WindowsEnumeration(HANDLE handle) : handle(handle) {}
    ~WindowsEnumeration() override {
        if (handle)
            WNetCloseEnum(handle);
    }

    bool Allocate(size_t bytes) override {
        buffer.reset(new (std::nothrow) char[bytes]);
        size = bytes;
        return buffer != nullptr;
    }

    uint32_t Next(std::vector<NetResource>* entries) override {
        entries->clear();
        std::memset(buffer.get(), 0, size);
        DWORD count = 0xFFFFFFFF;
        DWORD bytes = static_cast<DWORD>(size);
        const DWORD answer = WNetEnumResourceA(handle, &count, buffer.get(), &bytes);
        if (answer != NO_ERROR)
            return answer;
        const auto* found = reinterpret_cast<const NETRESOURCEA*>(buffer.get());
        for (DWORD i = 0; i < count; ++i) {
            NetResource r;
            r.scope = found[i].dwScope;
            r.type = found[i].dwType;
            r.displayType = found[i].dwDisplayType;
            r.usage = found[i].dwUsage;
            r.localName = Copy(found[i].lpLocalName);
            r.remoteName = Copy(found[i].lpRemoteName);
            r.comment = Copy(found[i].lpComment);
            r.provider = Copy(found[i].lpProvider);
            entries->push_back(r);
        }
        return 0;
    }

    uint32_t Close() override {
        const DWORD answer = WNetCloseEnum(handle);
        handle = nullptr;
        return answer;
    }

private:
    HANDLE handle;
    std::unique_ptr<char[]> buffer;
    size_t size = 0;
};

} // namespace

bool StartSetupThread(skin::Dialog& screen, UINT doneMessage, const SetupRequest& request,
                      HANDLE stop) {
    return screen.StartWorker(doneMessage, [request, stop](skin::WorkerLink&) {
        WindowsSetupSystem system(stop);
        ChannelSetupCommands commands(request.ipAddress);
        return RunSetup(request, system, commands);
    });
}

uint32_t WindowsSetupSystem::LogicalDrives() { return GetLogicalDrives(); }

uint32_t WindowsSetupSystem::GetConnection(const std::string& localName, std::string* remoteName) {
    char remote[MAX_PATH] = "";
    DWORD length = sizeof remote;
    const DWORD answer = WNetGetConnectionA(localName.c_str(), remote, &length);
    remote[MAX_PATH - 1] = 0;
    *remoteName = remote;
    return answer;
}

uint32_t WindowsSetupSystem::AddConnection(const NetResource& resource, const std::string* password,
                                           const std::string* userName, uint32_t flags) {
    NETRESOURCEA native = Native(resource);
    return WNetAddConnection2A(&native, password ? password->c_str() : nullptr,
                               userName ? userName->c_str() : nullptr, flags);
}

uint32_t WindowsSetupSystem::CancelConnection(const std::string& name, uint32_t flags, bool force) {
    return WNetCancelConnection2A(name.c_str(), flags, force ? TRUE : FALSE);
}

std::unique_ptr<NetEnumeration> WindowsSetupSystem::OpenConnectedDisks(const NetResource* container,
                                                                       uint32_t* error) {
    NETRESOURCEA native = {};
    if (container)
        native = Native(*container);
    HANDLE handle = nullptr;
    const DWORD answer =
        WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_DISK,
                      RESOURCEUSAGE_CONNECTABLE | RESOURCEUSAGE_CONTAINER | RESOURCEUSAGE_ATTACHED,
                      container ? &native : nullptr, &handle);
    if (answer != NO_ERROR) {
        *error = answer;
        return nullptr;
    }
    return std::make_unique<WindowsEnumeration>(handle);
}

std::string WindowsSetupSystem::ErrorText(uint32_t code) {
    return AppSettings::TrimWhite(WindowsMessageTexts().SystemText(code));
}

void WindowsSetupSystem::WindowsVersion(int* major, int* minor) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    *major = static_cast<int>(version.dwMajorVersion);
    *minor = static_cast<int>(version.dwMinorVersion);
}

bool WindowsSetupSystem::Wait(unsigned milliseconds) {
    const DWORD wait = MapWait(milliseconds);
    if (!stop) {
        Sleep(wait);
        return true;
    }
    return WaitForSingleObject(stop, wait) == WAIT_TIMEOUT;
}

std::string WindowsSetupSystem::String(int id) { return skin::LoadString(static_cast<UINT>(id)); }

bool WindowsSetupSystem::FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WindowsSetupSystem::CreateFolder(const std::string& path) {
    CreateDirectoryA(path.c_str(), nullptr);
}

void WindowsSetupSystem::CreateHiddenFile(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

bool WindowsSetupSystem::DesktopFolder(std::string* folder) {
    char path[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE))
        return false;
    *folder = path;
    return true;
}

std::vector<std::string> WindowsSetupSystem::LinkFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.lnk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void WindowsSetupSystem::RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

void WindowsSetupSystem::BeginShellLinks() { comStarted = SUCCEEDED(CoInitialize(nullptr)); }

void WindowsSetupSystem::EndShellLinks() {
    if (comStarted)
        CoUninitialize();
    comStarted = false;
}

int32_t WindowsSetupSystem::CreateShellLink(const std::string& target, const std::string& linkPath,
                                            bool withIcon) {
    IShellLinkA* link = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr)) {
        WriteLog(LOG_TRACE, "--- ERROR: Failed to get IShellLink pointer for shortcut");
        return hr;
    }
    link->SetPath(target.c_str());
    if (withIcon) {
        char system[MAX_PATH] = "";
        hr = SHGetFolderPathA(nullptr, CSIDL_SYSTEM, nullptr, SHGFP_TYPE_CURRENT, system);
        if (FAILED(hr)) {
            WriteLog(LOG_TRACE, "--- ERROR: Failed to find system32 folder on system");
            link->Release();
            return hr;
        }
        hr = link->SetIconLocation((std::string(system) + "\\zeltovdrv.ico").c_str(), 0);
        if (FAILED(hr)) {
            WriteLog(LOG_TRACE, "--- ERROR: Failed to set icon to shortcut");
            link->Release();
            return hr;
        }
    }
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (FAILED(hr)) {
        WriteLog(LOG_TRACE, "--- ERROR: Failed to query IShellLink to save shortcut path");
        link->Release();
        return hr;
    }
    WCHAR wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    wide[MAX_PATH - 1] = 0;
    hr = file->Save(wide, TRUE);
    if (FAILED(hr))
        WriteLog(LOG_TRACE, "--- ERROR: Failed to save shortcut path");
    file->Release();
    link->Release();
    return hr;
}

void WindowsSetupSystem::RefreshDesktop() {
    HWND desktop = FindWindowExA(GetDesktopWindow(), nullptr, "PROGMAN", nullptr);
    if (desktop) {
        SetForegroundWindow(desktop);
        // not SendMessage: a desktop that does not answer must not hold up the set-up
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(desktop, WM_KEYDOWN, VK_F5, 0x003F0001, SMTO_ABORTIFHUNG, 5000,
                            &ignored);
        SendMessageTimeoutA(desktop, WM_KEYUP, VK_F5, 0xC03F0001, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    keybd_event(VK_F5, 0x3F, 0, 0);
    keybd_event(VK_F5, 0x3F, KEYEVENTF_KEYUP, 0);
}

void WindowsSetupSystem::WriteShareValues(const std::string& sortFolder,
                                          const std::string& backupFolder,
                                          const std::string& shareDriveLetter) {
    AppSettings::WriteShareSetup(sortFolder, backupFolder, shareDriveLetter);
}

void WindowsSetupSystem::WriteString(const char* name, const std::string& value) {
    AppSettings::WriteString(name, value);
}

void WindowsSetupSystem::WriteDword(const char* name, uint32_t value) {
    AppSettings::WriteDword(name, value);
}

std::string WindowsSetupSystem::ReadTrimmed(const char* name) {
    return AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, name);
}

} // namespace setup
