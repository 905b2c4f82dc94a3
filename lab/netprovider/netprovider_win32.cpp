// tovnp.dll: the lab's network provider, the smallest stand-in for the Windows redirector that
// lets Wine's MPR map drive letters to the simulated appliances' shares.
//
// Everything lives in C:\tovnp\ of the prefix:
//   hosts\HOST          the simulator's state folder of the appliance HOST (a link the lab makes):
//                       accounts.tsv, shares.tsv and the share folders below shares
//   connections.txt     this computer's connections, one a line: LOCAL TAB REMOTE TAB USER TAB
//                       FLAGS ("-" for no local name or no user); read and written per call, so
//                       they outlive the program as Windows' remembered connections do
//   control.txt         what the lab asks of the provider, one request a line:
//                       "unavailable X:"     X: is remembered but not available (1201)
//                       "busy \\HOST\share"  a cancel that is not forced is refused (2401)
//   journal.txt         one line for every call, with its arguments and its answer
//
// A connection is checked as the appliance would check it: an unknown host is 53, a share that
// does not exist 67, a wrong user name or password 1326, another user's private share 5, other
// credentials than those of a connection this computer already holds to that host 1219, a local
// name already in use 85. A drive letter is defined with the mount manager's Wine extension as a
// network drive whose folder is unc/HOST/SHARE below dosdevices (which the lab links to the
// simulator's share folders), so that Wine's GetDriveType, WNetGetConnection and file access
// through the letter work as on Windows.
#include <windows.h>
// MinGW's npapi.h declares the provider functions without C linkage.
extern "C" {
#include <npapi.h>
}
#include <winioctl.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t* const kHome = L"C:\\tovnp\\";
const wchar_t* const kProviderName = L"Kelvox Lab Network";

// The mount manager's Wine extension (ddk/mountmgr.h of Wine).
constexpr DWORD kDefineUnixDrive =
    CTL_CODE(static_cast<DWORD>('m'), 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

struct Connection {
    std::wstring local; // "Y:" or empty
    std::wstring remote;
    std::wstring user; // empty: made without a user name
    DWORD flags = 0;
};

std::wstring Path(const wchar_t* name) { return std::wstring(kHome) + name; }

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

std::wstring Widen(const std::string& s) {
    std::wstring w;
    for (unsigned char c : s)
        w += static_cast<wchar_t>(c);
    return w;
}

std::wstring Text(const wchar_t* s) { return s ? s : L""; }

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(towupper(c));
    return s;
}

// The whole of a small file; empty when it cannot be read.
std::string ReadWhole(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return std::string();
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(f);
    return text;
}

void WriteWhole(const std::wstring& path, const std::string& text) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD put = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    CloseHandle(f);
}

// Tab-separated rows of a text file, without empty lines.
std::vector<std::vector<std::wstring>> ReadRows(const std::wstring& path) {
    std::vector<std::vector<std::wstring>> rows;
    const std::string text = ReadWhole(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::vector<std::wstring> row;
        size_t field = 0;
        for (;;) {
            const size_t tab = line.find('\t', field);
            row.push_back(Widen(line.substr(field, tab == std::string::npos ? tab : tab - field)));
            if (tab == std::string::npos)
                break;
            field = tab + 1;
        }
        rows.push_back(row);
    }
    return rows;
}

void Journal(const wchar_t* format, ...) {
    wchar_t line[1024];
    va_list args;
    va_start(args, format);
    _vsnwprintf(line, 1023, format, args);
    va_end(args);
    line[1023] = 0;
    const std::string text = Narrow(line) + "\r\n";
    HANDLE f = CreateFileW(Path(L"journal.txt").c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD put = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    CloseHandle(f);
}

std::vector<Connection> LoadConnections() {
    std::vector<Connection> all;
    for (const auto& row : ReadRows(Path(L"connections.txt"))) {
        if (row.size() < 4)
            continue;
        Connection c;
        c.local = row[0] == L"-" ? L"" : row[0];
        c.remote = row[1];
        c.user = row[2] == L"-" ? L"" : row[2];
        c.flags = static_cast<DWORD>(wcstoul(row[3].c_str(), nullptr, 0));
        all.push_back(c);
    }
    return all;
}

void SaveConnections(const std::vector<Connection>& all) {
    std::string text;
    char flags[16];
    for (const Connection& c : all) {
        std::snprintf(flags, sizeof flags, "0x%lx", static_cast<unsigned long>(c.flags));
        text += Narrow(c.local.empty() ? L"-" : c.local) + "\t" + Narrow(c.remote) + "\t" +
                Narrow(c.user.empty() ? L"-" : c.user) + "\t" + flags + "\n";
    }
    WriteWhole(Path(L"connections.txt"), text);
}

// Whether control.txt holds the request "word name" (names compared without letter case).
bool Requested(const wchar_t* word, const std::wstring& name) {
    const std::string text = ReadWhole(Path(L"control.txt"));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::wstring line = Widen(text.substr(start, end - start));
        start = end + 1;
        while (!line.empty() && (line.back() == L'\r' || line.back() == L' '))
            line.pop_back();
        const size_t space = line.find(L' ');
        if (space != std::wstring::npos && line.substr(0, space) == word &&
            SameText(line.substr(space + 1), name))
            return true;
    }
    return false;
}

// "\\HOST\share" split; false when the name is not of that form.
bool SplitRemote(const std::wstring& remote, std::wstring* host, std::wstring* share) {
    if (remote.size() < 5 || remote[0] != L'\\' || remote[1] != L'\\')
        return false;
    const size_t slash = remote.find(L'\\', 2);
    if (slash == std::wstring::npos || slash == 2 || slash + 1 >= remote.size() ||
        remote.find(L'\\', slash + 1) != std::wstring::npos)
        return false;
    *host = remote.substr(2, slash - 2);
    *share = remote.substr(slash + 1);
    return true;
}

std::wstring HostOf(const std::wstring& remote) {
    std::wstring host, share;
    return SplitRemote(remote, &host, &share) ? host : std::wstring();
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The name of an existing entry as the folder spells it (the lookup ignores letter case).
std::wstring StoredName(const std::wstring& folder, const std::wstring& name) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\" + name).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return std::wstring();
    FindClose(h);
    return found.cFileName;
}

// A drive letter as a network drive of the mount manager (folder empty: the letter removed).
DWORD DefineDrive(wchar_t letter, const std::string& folder) {
    HANDLE manager =
        CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return GetLastError();
    std::vector<char> buffer(sizeof(UnixDrive) + folder.size() + 1, 0);
    auto* drive = reinterpret_cast<UnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    drive->type = folder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_REMOTE;
    drive->letter = static_cast<WCHAR>(towlower(letter));
    if (!folder.empty()) {
        drive->mountPointOffset = sizeof(UnixDrive);
        std::copy(folder.begin(), folder.end(), buffer.begin() + sizeof(UnixDrive));
    }
    DWORD returned = 0;
    const BOOL ok =
        DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                        nullptr, 0, &returned, nullptr);
    const DWORD error = ok ? 0 : GetLastError();
    CloseHandle(manager);
    return error;
}

bool IsDriveName(const std::wstring& name) {
    return name.size() == 2 && name[1] == L':' && iswalpha(name[0]);
}

// The appliance's answer to a connection to \\host\share with these credentials (null user: the
// caller gave none). On success *folder is the share's folder below dosdevices.
DWORD CheckAccess(const std::wstring& host, const std::wstring& share, const wchar_t* user,
                  const wchar_t* password, std::string* folder) {
    const std::wstring state = Path(L"hosts\\") + host;
    if (!IsFolder(state))
        return ERROR_BAD_NETPATH;
    const std::wstring shareName = StoredName(state + L"\\shares", share);
    if (shareName.empty() || !IsFolder(state + L"\\shares\\" + shareName))
        return ERROR_BAD_NET_NAME;
    // The owner of the share; shares that are not listed (the public one) and those made for
    // "guest" are open to everyone.
    std::wstring owner;
    for (const auto& row : ReadRows(state + L"\\shares.tsv"))
        if (row.size() > 1 && SameText(row[0], share) && !SameText(row[1], L"guest"))
            owner = row[1];
    struct Account {
        std::wstring password;
        bool hasPassword = false;
        bool found = false;
    };
    auto account = [&state](const std::wstring& name) {
        Account a;
        for (const auto& row : ReadRows(state + L"\\accounts.tsv")) {
            if (!row.empty() && SameText(row[0], name)) {
                a.found = true;
                a.password = row.size() > 1 ? row[1] : L"";
                a.hasPassword = row.size() > 2 ? row[2] == L"1" : !a.password.empty();
            }
        }
        return a;
    };
    if (user && *user) {
        const Account a = account(user);
        if (!a.found || a.password != Text(password))
            return ERROR_LOGON_FAILURE;
        if (!owner.empty() && !SameText(owner, user))
            return ERROR_ACCESS_DENIED;
    } else if (!owner.empty()) {
        const Account a = account(owner);
        if (a.hasPassword)
            return ERROR_LOGON_FAILURE;
    }
    const std::wstring hostName = StoredName(Path(L"hosts"), host);
    *folder = "unc/" + Narrow(hostName.empty() ? host : hostName) + "/" + Narrow(shareName);
    return 0;
}

// An open enumeration: a snapshot of what it lists, and how far the caller has read.
struct Enumeration {
    std::vector<Connection> entries; // remote "\\HOST" and no local name: a container
    bool containers = false;
    size_t next = 0;
};

// Wine's MPR opens every provider's enumeration of connected resources without the container
// the caller names, so a nested open (the caller walks a container while the outer enumeration
// is still open) stands for the container that the outer one handed out last.
std::vector<Enumeration*> openEnumerations;
std::wstring lastContainer;

DWORD PutEntries(Enumeration& e, DWORD* count, void* buffer, DWORD* size) {
    auto* out = static_cast<NETRESOURCEW*>(buffer);
    const DWORD wanted = *count;
    DWORD fitted = 0;
    // Records from the start of the buffer, their strings from its end.
    size_t stringsAt = *size;
    size_t recordsEnd = 0;
    while (e.next < e.entries.size() && fitted < wanted) {
        const Connection& c = e.entries[e.next];
        const size_t strings =
            (c.local.size() + 1 + c.remote.size() + 1 + wcslen(kProviderName) + 1 + 1) *
            sizeof(wchar_t);
        if (recordsEnd + sizeof(NETRESOURCEW) + strings > stringsAt) {
            if (fitted == 0) {
                *size = static_cast<DWORD>(sizeof(NETRESOURCEW) + strings);
                return WN_MORE_DATA;
            }
            break;
        }
        auto put = [&](const std::wstring& s) {
            stringsAt -= (s.size() + 1) * sizeof(wchar_t);
            auto* at = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer) + stringsAt);
            std::copy(s.begin(), s.end(), at);
            at[s.size()] = 0;
            return at;
        };
        NETRESOURCEW& r = out[fitted];
        r.dwScope = RESOURCE_CONNECTED;
        r.dwType = RESOURCETYPE_DISK;
        r.dwDisplayType = e.containers ? RESOURCEDISPLAYTYPE_SERVER : RESOURCEDISPLAYTYPE_SHARE;
        r.dwUsage = e.containers ? RESOURCEUSAGE_CONTAINER : RESOURCEUSAGE_CONNECTABLE;
        r.lpLocalName = put(c.local);
        r.lpRemoteName = put(c.remote);
        r.lpComment = put(L"");
        r.lpProvider = put(kProviderName);
        if (e.containers)
            lastContainer = c.remote;
        recordsEnd += sizeof(NETRESOURCEW);
        ++fitted;
        ++e.next;
    }
    *count = fitted;
    return fitted ? WN_SUCCESS : WN_NO_MORE_ENTRIES;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

DWORD APIENTRY NPGetCaps(DWORD index) {
    switch (index) {
    case WNNC_SPEC_VERSION:
        return WNNC_SPEC_VERSION51;
    case WNNC_NET_TYPE:
        return 0x00FE0000;
    case WNNC_DRIVER_VERSION:
        return 1;
    case WNNC_CONNECTION:
        return WNNC_CON_ADDCONNECTION | WNNC_CON_ADDCONNECTION3 | WNNC_CON_CANCELCONNECTION |
               WNNC_CON_GETCONNECTIONS;
    case WNNC_ENUMERATION:
        return WNNC_ENUM_LOCAL;
    case WNNC_START:
        return 1;
    default:
        return 0;
    }
}

DWORD APIENTRY NPAddConnection3(HWND, LPNETRESOURCEW resource, LPWSTR password, LPWSTR user,
                                DWORD flags) {
    const std::wstring local = resource ? Upper(Text(resource->lpLocalName)) : L"";
    const std::wstring remote = resource ? Text(resource->lpRemoteName) : L"";
    DWORD result = 0;
    std::wstring host, share;
    std::string folder;
    if (!SplitRemote(remote, &host, &share)) {
        result = ERROR_BAD_NETPATH;
    } else if (!local.empty() && !IsDriveName(local)) {
        result = ERROR_BAD_DEVICE;
    } else {
        result = CheckAccess(host, share, user, password, &folder);
    }
    std::vector<Connection> all = LoadConnections();
    if (result == 0) {
        for (const Connection& c : all) {
            if (!local.empty() && SameText(c.local, local))
                result = ERROR_ALREADY_ASSIGNED;
            else if (user && *user && SameText(HostOf(c.remote), host) && !SameText(c.user, user))
                result = ERROR_SESSION_CREDENTIAL_CONFLICT;
        }
    }
    if (result == 0 && !local.empty() && (GetLogicalDrives() & (1u << (local[0] - L'A'))))
        result = ERROR_ALREADY_ASSIGNED;
    if (result == 0 && !local.empty())
        result = DefineDrive(local[0], folder);
    if (result == 0) {
        all.push_back(Connection{local, remote, user ? user : L"", flags});
        SaveConnections(all);
    }
    Journal(L"add %ls %ls user=%ls password=%ls flags=0x%lx -> %lu",
            local.empty() ? L"-" : local.c_str(), remote.c_str(), user ? user : L"(null)",
            password ? (*password ? L"(set)" : L"(empty)") : L"(null)", flags, result);
    return result;
}

DWORD APIENTRY NPAddConnection(LPNETRESOURCEW resource, LPWSTR password, LPWSTR user) {
    return NPAddConnection3(nullptr, resource, password, user, 0);
}

DWORD APIENTRY NPCancelConnection(LPWSTR name, BOOL force) {
    const std::wstring wanted = Text(name);
    std::vector<Connection> all = LoadConnections();
    DWORD result = WN_NOT_CONNECTED;
    for (size_t i = 0; i < all.size(); ++i) {
        const Connection c = all[i];
        const bool match =
            IsDriveName(wanted) ? SameText(c.local, wanted) : SameText(c.remote, wanted);
        if (!match)
            continue;
        if (!force && Requested(L"busy", c.remote)) {
            result = WN_OPEN_FILES;
            break;
        }
        result = c.local.empty() ? 0 : DefineDrive(c.local[0], std::string());
        if (result == 0) {
            all.erase(all.begin() + static_cast<std::ptrdiff_t>(i));
            SaveConnections(all);
        }
        break;
    }
    Journal(L"cancel %ls force=%d -> %lu", wanted.c_str(), force ? 1 : 0, result);
    return result;
}

DWORD APIENTRY NPGetConnection(LPWSTR localName, LPWSTR remoteName, LPDWORD length) {
    const std::wstring local = Upper(Text(localName));
    DWORD result = WN_NOT_CONNECTED;
    std::wstring remote;
    if (Requested(L"unavailable", local)) {
        result = WN_CONNECTION_CLOSED;
    } else {
        for (const Connection& c : LoadConnections()) {
            if (!local.empty() && SameText(c.local, local)) {
                remote = c.remote;
                result = 0;
            }
        }
    }
    if (result == 0) {
        if (!length || *length < remote.size() + 1 || !remoteName) {
            if (length)
                *length = static_cast<DWORD>(remote.size() + 1);
            result = WN_MORE_DATA;
        } else {
            std::copy(remote.begin(), remote.end(), remoteName);
            remoteName[remote.size()] = 0;
        }
    }
    Journal(L"getconnection %ls -> %lu %ls", local.c_str(), result, remote.c_str());
    return result;
}

DWORD APIENTRY NPOpenEnum(DWORD scope, DWORD type, DWORD usage, LPNETRESOURCEW container,
                          LPHANDLE handle) {
    DWORD result = 0;
    std::wstring below = container ? Text(container->lpRemoteName) : L"";
    const bool nested = below.empty() && !openEnumerations.empty();
    if (nested)
        below = lastContainer;
    if (scope != RESOURCE_CONNECTED) {
        result = WN_NOT_SUPPORTED;
    } else if (!handle) {
        result = WN_BAD_POINTER;
    } else {
        auto e = std::make_unique<Enumeration>();
        const std::vector<Connection> all = LoadConnections();
        if (below.empty()) {
            // the top level: one container for every host this computer is connected to
            e->containers = true;
            for (const Connection& c : all) {
                bool listed = false;
                for (const Connection& seen : e->entries)
                    listed = listed || SameText(seen.remote, L"\\\\" + HostOf(c.remote));
                if (!listed)
                    e->entries.push_back(Connection{L"", L"\\\\" + HostOf(c.remote), L"", 0});
            }
        } else {
            for (const Connection& c : all)
                if (SameText(L"\\\\" + HostOf(c.remote), below))
                    e->entries.push_back(c);
        }
        openEnumerations.push_back(e.get());
        *handle = e.release();
    }
    Journal(L"openenum scope=%lu type=%lu usage=0x%lx container=%ls%ls -> %lu", scope, type, usage,
            container ? Text(container->lpRemoteName).c_str() : L"(null)",
            nested ? (L" (nested, below " + below + L")").c_str() : L"", result);
    return result;
}

DWORD APIENTRY NPEnumResource(HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD size) {
    auto* e = static_cast<Enumeration*>(handle);
    DWORD result = WN_BAD_HANDLE;
    if (e && count && buffer && size)
        result = PutEntries(*e, count, buffer, size);
    Journal(L"enum -> %lu count=%lu", result, result == 0 && count ? *count : 0);
    return result;
}

DWORD APIENTRY NPCloseEnum(HANDLE handle) {
    auto* e = static_cast<Enumeration*>(handle);
    DWORD result = WN_BAD_HANDLE;
    for (size_t i = 0; i < openEnumerations.size(); ++i) {
        if (openEnumerations[i] == e) {
            openEnumerations.erase(openEnumerations.begin() + static_cast<std::ptrdiff_t>(i));
            delete e;
            result = 0;
            break;
        }
    }
    Journal(L"closeenum -> %lu", result);
    return result;
}

} // extern "C"
