// The set-up worker: the account and share on the appliance, then this computer's side of the
// access (drive letter, category folders, shortcuts, the stored values), over the system it runs
// on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/channel.h"

namespace setup {

// Values of the network-connection interface (winnetwk.h), for the portable side.
constexpr uint32_t NET_RESOURCE_CONNECTED = 1;
constexpr uint32_t NET_RESOURCE_GLOBALNET = 2;
constexpr uint32_t NET_TYPE_DISK = 1;
constexpr uint32_t NET_DISPLAY_SHARE = 3;
constexpr uint32_t NET_USAGE_CONNECTABLE = 0x1;
constexpr uint32_t NET_USAGE_CONTAINER = 0x2;
constexpr uint32_t NET_USAGE_ATTACHED = 0x10;
constexpr uint32_t NET_CONNECT_UPDATE_PROFILE = 0x1;
constexpr uint32_t NET_CONNECT_INTERACTIVE = 0x8;
constexpr uint32_t NET_CONNECT_COMMANDLINE = 0x800;
constexpr uint32_t NET_CONNECT_CMD_SAVECRED = 0x1000;

// Windows error codes the worker acts on.
constexpr uint32_t WIN_ERROR_BAD_NETPATH = 53;
constexpr uint32_t WIN_ERROR_BAD_NET_NAME = 67;
constexpr uint32_t WIN_ERROR_CONNECTION_UNAVAIL = 1201;
constexpr uint32_t WIN_ERROR_CANCELLED = 1223;
constexpr uint32_t WIN_ERROR_NOT_CONNECTED = 2250;

// The mapping: attempts, the wait before each, and what the connection enumeration gets.
constexpr int MAP_ATTEMPTS = 30;
constexpr unsigned MAP_WAIT_MILLISECONDS = 4000;
constexpr size_t ENUM_BUFFER_BYTES = 16384;
// Containers below containers are walked this deep at most.
constexpr int MAX_CONTAINER_DEPTH = 8;

// The appliance's public share when it does not tell its own.
constexpr const char* DEFAULT_PUBLIC_SHARE = "\\Public";
constexpr const char* BUSINESS_MARKER = "\\_business.tov";

// One network resource as the connection interface describes it.
struct NetResource {
    uint32_t scope = 0;
    uint32_t type = 0;
    uint32_t displayType = 0;
    uint32_t usage = 0;
    std::string localName;
    std::string remoteName;
    std::string comment;
    std::string provider; // empty: none named
};

// An open enumeration of connected resources.
class NetEnumeration {
public:
    virtual ~NetEnumeration() = default;
    // The buffer each fetch fills; false when it cannot be had.
    virtual bool Allocate(size_t bytes) = 0;
    // As many entries as fit the buffer; the enumeration's answer (0 while there are more).
    virtual uint32_t Next(std::vector<NetResource>* entries) = 0;
    virtual uint32_t Close() = 0;
};

// The appliance commands of a set-up; each opens its own channel to the appliance.
class SetupCommands {
public:
    virtual ~SetupCommands() = default;
    virtual uint32_t SendCrat(const std::string& name, const std::string& password,
                              uint32_t& status) = 0;
    virtual uint32_t SendShar(const std::string& text1, const std::string& text2,
                              const std::string& text3, uint32_t& status) = 0;
    virtual uint32_t SendPshr(const std::string& text1, const std::string& text2,
                              const std::string& text3, uint32_t& status) = 0;
    virtual uint32_t SendGps1(std::string& shareName) = 0;
};

// The commands over a fresh command channel aimed at the address for each.
class ChannelSetupCommands : public SetupCommands {
public:
    explicit ChannelSetupCommands(std::string address) : address(std::move(address)) {}
    uint32_t SendCrat(const std::string& name, const std::string& password,
                      uint32_t& status) override;
    uint32_t SendShar(const std::string& text1, const std::string& text2, const std::string& text3,
                      uint32_t& status) override;
    uint32_t SendPshr(const std::string& text1, const std::string& text2, const std::string& text3,
                      uint32_t& status) override;
    uint32_t SendGps1(std::string& shareName) override;

private:
    std::string address;
};

// This computer, as the set-up uses it; the Windows half is in setup_thread_win32.cpp.
class SetupSystem {
public:
    virtual ~SetupSystem() = default;

    // Drive letters and network connections.
    virtual uint32_t LogicalDrives() = 0;
    // The remote name of a local device (260-byte buffer): 0, or the network layer's answer.
    virtual uint32_t GetConnection(const std::string& localName, std::string* remoteName) = 0;
    virtual uint32_t AddConnection(const NetResource& resource, const std::string* password,
                                   const std::string* userName, uint32_t flags) = 0;
    virtual uint32_t CancelConnection(const std::string& name, uint32_t flags, bool force) = 0;
    // Connected disk resources below container (null: the top level); null and *error on failure.
    virtual std::unique_ptr<NetEnumeration> OpenConnectedDisks(const NetResource* container,
                                                               uint32_t* error) = 0;
    // The system's message text for a code, without its line end.
    virtual std::string ErrorText(uint32_t code) = 0;
    virtual void WindowsVersion(int* major, int* minor) = 0;
    // Waits before a mapping attempt; false when the set-up is to stop (its screen has gone).
    virtual bool Wait(unsigned milliseconds) = 0;

    // The language's string.
    virtual std::string String(int id) = 0;

    // Files and folders.
    virtual bool FileExists(const std::string& path) = 0;
    virtual void CreateFolder(const std::string& path) = 0;
    // Created always, read and write access, shared for both, hidden; closed at once.
    virtual void CreateHiddenFile(const std::string& path) = 0;
    // The user's desktop folder; false when the shell does not know it.
    virtual bool DesktopFolder(std::string* folder) = 0;
    // The names of the "*.lnk" files of a folder, in the order the system lists them.
    virtual std::vector<std::string> LinkFiles(const std::string& folder) = 0;
    virtual void RemoveFile(const std::string& path) = 0;

    // Shell links: COM for this thread around them, one link, the desktop's refresh.
    virtual void BeginShellLinks() = 0;
    virtual void EndShellLinks() = 0;
    // The COM result of making the link (negative on failure), its failures logged.
    virtual int32_t CreateShellLink(const std::string& target, const std::string& linkPath,
                                    bool withIcon) = 0;
    virtual void RefreshDesktop() = 0;

    // The current user's product key.
    virtual void WriteShareValues(const std::string& sortFolder, const std::string& backupFolder,
                                  const std::string& shareDriveLetter) = 0;
    virtual void WriteString(const char* name, const std::string& value) = 0;
    virtual void WriteDword(const char* name, uint32_t value) = 0;
    virtual std::string ReadTrimmed(const char* name) = 0;
};

// How the mapping logs on: with the account's name and password or without, and its flags.
struct MapCredentials {
    bool withAccount = false;
    uint32_t flags = NET_CONNECT_UPDATE_PROFILE;
};
MapCredentials CredentialsFor(int function, bool noPassword, int windowsMajor, int windowsMinor);

// The desktop shortcut to the drive: desktop folder (ending in a backslash) + the account name
// (the share path after its last backslash) + " on (" + appliance + ").lnk".
std::string DriveShortcutPath(const std::string& desktopFolder, const std::string& remotePath,
                              const std::string& deviceName);

// The string-table entries of the category folders, in the order they are made.
extern const int COMMON_FOLDERS[5];
extern const int HOME_FOLDERS[3];
extern const int BUSINESS_FOLDERS[4];

class CtovDlgCreate {
public:
    CtovDlgCreate(SetupSystem& system, SetupCommands& commands)
        : system(system), commands(commands) {}

    void SetParameters(int function, const std::string& deviceName, const std::string& ipAddress,
                       const std::string& accountName, const std::string& password, bool noPassword,
                       int business);
    uint32_t NewSetup();
    uint32_t SetupAccess();

    uint32_t CreateUserAccount();
    uint32_t CreateShare();
    uint32_t GetPublicShareName();
    uint32_t Disconnect(const NetResource* container, int depth = 0);
    uint32_t MapShareToDrive();
    uint32_t CreateFolders();
    uint32_t CreateShortcuts();

    const std::string& RemotePath() const { return remotePath; }
    const std::string& PublicShareName() const { return publicShareName; }
    const std::string& DriveLetter() const { return driveLetter; }
    int Business() const { return business; }

private:
    SetupSystem& system;
    SetupCommands& commands;

    std::string remotePath;
    std::string publicShareName;
    std::string driveLetter;
    int function = 0;
    int business = 0;
    std::string deviceName;
    std::string ipAddress;
    std::string accountName;
    std::string password;
    bool noPassword = false;
};

// What a set-up run is handed by its screen, copied when the run starts.
struct SetupRequest {
    int function = 0;
    std::string deviceName;
    std::string ipAddress;
    std::string accountName;
    std::string password;
    bool noPassword = false;
    int business = 0;
    // The purpose screen's run creates the account first; the name screen's (existing) does not.
    bool newAccount = false;
};

// The body of SetupThread: the run's calls and its log lines; returns the run's result.
uint32_t RunSetup(const SetupRequest& request, SetupSystem& system, SetupCommands& commands);

} // namespace setup
