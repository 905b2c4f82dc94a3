// The set-up worker's steps and their log lines, over the system and the appliance commands.
#include "setup/setup_worker.h"

#include "app/log.h"
#include "setup/account_rules.h"

namespace setup {
namespace {

constexpr uint32_t SHARE_EXISTS = 0x20000001;
constexpr uint32_t LINK_EXISTS = 0x20000002;
// "gps1" fills a buffer of this many bytes.
constexpr size_t SHARE_NAME_BUFFER = 260;

std::string LetterName(char letter) { return std::string(1, letter) + ":"; }

} // namespace

const int COMMON_FOLDERS[5] = {62, 63, 68, 69, 67};
const int HOME_FOLDERS[3] = {64, 65, 66};
const int BUSINESS_FOLDERS[4] = {70, 71, 72, 73};

uint32_t ChannelSetupCommands::SendCrat(const std::string& name, const std::string& password,
                                        uint32_t& status) {
    CommandChannel channel;
    channel.SetTarget(address);
    return channel.SendCrat(name, password, status);
}

uint32_t ChannelSetupCommands::SendShar(const std::string& text1, const std::string& text2,
                                        const std::string& text3, uint32_t& status) {
    CommandChannel channel;
    channel.SetTarget(address);
    return channel.SendShar(text1, text2, text3, status);
}

uint32_t ChannelSetupCommands::SendPshr(const std::string& text1, const std::string& text2,
                                        const std::string& text3, uint32_t& status) {
    CommandChannel channel;
    channel.SetTarget(address);
    return channel.SendPshr(text1, text2, text3, status);
}

uint32_t ChannelSetupCommands::SendGps1(std::string& shareName) {
    CommandChannel channel;
    channel.SetTarget(address);
    return channel.SendGps1(shareName);
}

MapCredentials CredentialsFor(int function, bool noPassword, int windowsMajor, int windowsMinor) {
    MapCredentials credentials;
    if (function == CREATE_PUBLIC || (function == CREATE_EXIST && noPassword) || windowsMajor < 5)
        return credentials;
    credentials.withAccount = true;
    if (windowsMajor > 5 || windowsMinor > 0) {
        credentials.flags = NET_CONNECT_UPDATE_PROFILE | NET_CONNECT_INTERACTIVE |
                            NET_CONNECT_COMMANDLINE | NET_CONNECT_CMD_SAVECRED;
    }
    return credentials;
}

std::string DriveShortcutPath(const std::string& desktopFolder, const std::string& remotePath,
                              const std::string& deviceName) {
    const size_t slash = remotePath.rfind('\\');
    const std::string account =
        slash == std::string::npos ? remotePath : remotePath.substr(slash + 1);
    return desktopFolder + account + " on (" + deviceName + ")" + ".lnk";
}

void CtovDlgCreate::SetParameters(int function, const std::string& deviceName,
                                  const std::string& ipAddress, const std::string& accountName,
                                  const std::string& password, bool noPassword, int business) {
    this->function = function;
    this->deviceName = deviceName;
    this->ipAddress = ipAddress;
    this->accountName = accountName;
    this->password = password;
    this->noPassword = noPassword;
    this->business = business;
}

uint32_t CtovDlgCreate::NewSetup() {
    if (function == CREATE_PUBLIC) {
        WriteLog(LOG_TRACE, "A. Skipping ... Create New User account for '%s' on '%s'-(%s)",
                 accountName.c_str(), deviceName.c_str(), ipAddress.c_str());
    } else if (function == CREATE_PRIVATE) {
        WriteLog(LOG_TRACE, "A. Create New User account for '%s' on '%s'-(%s)", accountName.c_str(),
                 deviceName.c_str(), ipAddress.c_str());
        const uint32_t code = CreateUserAccount();
        if (code != 0)
            return code;
    } else {
        WriteLog(LOG_TRACE, "Bad Function in NewSetup");
        return ERR_BAD_FUNCTION;
    }
    WriteLog(LOG_TRACE, "......Done");
    WriteLog(LOG_TRACE, "B. Create Share '%s'", accountName.c_str());
    const uint32_t code = CreateShare();
    if (code != 0)
        return code;
    WriteLog(LOG_TRACE, "......Done");
    return 0;
}

uint32_t CtovDlgCreate::CreateUserAccount() {
    uint32_t status = 0;
    const uint32_t transport = commands.SendCrat(accountName, password, status);
    return transport != 0 ? transport : status;
}

uint32_t CtovDlgCreate::CreateShare() {
    uint32_t status = 0;
    const uint32_t transport = function == CREATE_PUBLIC
                                   ? commands.SendPshr("guest", accountName, "", status)
                                   : commands.SendShar(accountName, accountName, "", status);
    if (transport != 0)
        return transport;
    if (status == SHARE_EXISTS) {
        WriteLog(LOG_DETAIL, "Share already exists, so we continue...");
        return 0;
    }
    if (status == LINK_EXISTS) {
        WriteLog(LOG_DETAIL, "Symbolic link already exists, so we continue...");
        return 0;
    }
    return status;
}

uint32_t CtovDlgCreate::SetupAccess() {
    WriteLog(LOG_TRACE, "1. Get Localized Public Share Name for '%s'-(%s)", deviceName.c_str(),
             ipAddress.c_str());
    GetPublicShareName();
    WriteLog(LOG_TRACE, "......Done");
    WriteLog(LOG_TRACE, "2. Disconnect Connections");
    Disconnect(nullptr);
    WriteLog(LOG_TRACE, "......Done");
    WriteLog(LOG_TRACE, "3. Map Share to Local Drive Letter");
    const uint32_t code = MapShareToDrive();
    if (code != 0)
        return code;
    WriteLog(LOG_TRACE, "......Done");
    WriteLog(LOG_TRACE, "4. Create Folders");
    CreateFolders();
    WriteLog(LOG_TRACE, "......Done");
    WriteLog(LOG_TRACE, "5. Create Shorcuts");
    CreateShortcuts();
    WriteLog(LOG_TRACE, "......Done");
    return 0;
}

uint32_t CtovDlgCreate::GetPublicShareName() {
    std::string name;
    if (commands.SendGps1(name) == 0) {
        if (name.size() >= SHARE_NAME_BUFFER)
            name.resize(SHARE_NAME_BUFFER - 1);
        publicShareName = "\\" + name;
    } else {
        publicShareName = DEFAULT_PUBLIC_SHARE;
    }
    WriteLog(LOG_TRACE, "   '%s'", publicShareName.c_str());
    return 0;
}

uint32_t CtovDlgCreate::Disconnect(const NetResource* container, int depth) {
    uint32_t error = 0;
    std::unique_ptr<NetEnumeration> enumeration = system.OpenConnectedDisks(container, &error);
    if (!enumeration) {
        WriteLog(LOG_ERROR, "CtovDlgCreate::Disconnect - WNetOpenEnum Failed");
        return error;
    }
    if (!enumeration->Allocate(ENUM_BUFFER_BYTES)) {
        WriteLog(LOG_ERROR, "CtovDlgCreate::Disconnect - Unable to allocate memory for lpnrLocal");
        // the enumeration is closed all the same: nothing else would close it
        enumeration->Close();
        return 0;
    }
    std::vector<NetResource> entries;
    while (enumeration->Next(&entries) == 0) {
        for (const NetResource& entry : entries) {
            if (entry.usage & NET_USAGE_CONTAINER) {
                // a network that lists a container inside itself would otherwise be walked
                // without end
                if (depth < MAX_CONTAINER_DEPTH)
                    Disconnect(&entry, depth + 1);
                continue;
            }
            if (entry.remoteName.find(deviceName) == std::string::npos)
                continue;
            const std::string& name = entry.localName.empty() ? entry.remoteName : entry.localName;
            const uint32_t code = system.CancelConnection(name, NET_CONNECT_UPDATE_PROFILE, false);
            if (code == 0) {
                WriteLog(LOG_ERROR, "CtovDlgCreate::Disconnected (%s)", name.c_str());
            } else {
                WriteLog(LOG_ERROR, "CtovDlgCreate::Disconnect - %s (%s)",
                         system.ErrorText(code).c_str(), name.c_str());
                WriteLog(LOG_ERROR, "CtovDlgCreate::Disconnect - Device not disconnected (%s)",
                         name.c_str());
            }
        }
    }
    const uint32_t closed = enumeration->Close();
    if (closed != 0)
        WriteLog(LOG_ERROR, "CtovDlgCreate::Disconnected - Failed to Close Enumeration");
    return closed;
}

uint32_t CtovDlgCreate::MapShareToDrive() {
    driveLetter = "NONE";
    const uint32_t drives = system.LogicalDrives();
    for (char letter = 'Z'; letter >= 'C'; --letter) {
        if (drives & (1u << (letter - 'A')))
            continue;
        const std::string name = LetterName(letter);
        WriteLog(LOG_TRACE, "   Getting available driver letters %s", name.c_str());
        std::string remote;
        const uint32_t answer = system.GetConnection(name, &remote);
        if (answer == 0 || answer == WIN_ERROR_CONNECTION_UNAVAIL) {
            WriteLog(LOG_TRACE, "   %s mapped %s", name.c_str(), remote.c_str());
            continue;
        }
        driveLetter = name;
        break;
    }
    if (driveLetter == "NONE")
        return ERR_NO_DRIVE_LETTER;

    int major = 0, minor = 0;
    system.WindowsVersion(&major, &minor);
    const MapCredentials credentials = CredentialsFor(function, noPassword, major, minor);
    remotePath = "\\\\" + deviceName + "\\" + accountName;

    const std::string publicShare = "\\\\" + deviceName + publicShareName;
    const uint32_t unmapped = system.CancelConnection(publicShare, 0, true);
    if (unmapped != 0 && unmapped != WIN_ERROR_NOT_CONNECTED) {
        WriteLog(LOG_TRACE, "--- ERROR: Can't unmap public share <%s> Error Code: %d",
                 publicShare.c_str(), static_cast<int>(unmapped));
    }

    WriteLog(LOG_TRACE, "    List of current Mappings:");
    for (char letter = 'Z'; letter >= 'C'; --letter) {
        const std::string name = LetterName(letter);
        std::string remote;
        const uint32_t answer = system.GetConnection(name, &remote);
        if (answer == WIN_ERROR_NOT_CONNECTED)
            continue;
        WriteLog(LOG_TRACE, "    %s mapped to '%s' %d", name.c_str(), remote.c_str(),
                 static_cast<int>(answer));
        if (answer == 0 && remote == remotePath) {
            WriteLog(LOG_TRACE, "--- ERROR: Shared Already Mapped!!");
            return ERR_ALREADY_MAPPED;
        }
    }

    NetResource resource;
    resource.scope = NET_RESOURCE_GLOBALNET;
    resource.type = NET_TYPE_DISK;
    resource.displayType = NET_DISPLAY_SHARE;
    resource.usage = NET_USAGE_CONNECTABLE;
    resource.localName = driveLetter;
    resource.remoteName = remotePath;
    uint32_t code = WIN_ERROR_CANCELLED;
    for (int attempt = 0; attempt < MAP_ATTEMPTS; ++attempt) {
        if (!system.Wait(MAP_WAIT_MILLISECONDS))
            return code;
        code = credentials.withAccount
                   ? system.AddConnection(resource, &password, &accountName, credentials.flags)
                   : system.AddConnection(resource, nullptr, nullptr, credentials.flags);
        if (code == 0)
            break;
        if (code != WIN_ERROR_BAD_NETPATH && code != WIN_ERROR_BAD_NET_NAME)
            return code;
        WriteLog(LOG_TRACE, "--- ERROR: Can't map <%s> to <%s> Error Code: %d", remotePath.c_str(),
                 driveLetter.c_str(), static_cast<int>(code));
    }
    if (code != 0)
        return code;
    system.WriteShareValues(remotePath, system.String(COMMON_FOLDERS[0]), driveLetter);
    return 0;
}

uint32_t CtovDlgCreate::CreateFolders() {
    if (function == CREATE_EXIST)
        business = system.FileExists(remotePath + BUSINESS_MARKER) ? 1 : 0;
    for (int id : COMMON_FOLDERS)
        system.CreateFolder(remotePath + system.String(id));
    if (business) {
        if (function != CREATE_EXIST)
            system.CreateHiddenFile(remotePath + BUSINESS_MARKER);
        for (int id : BUSINESS_FOLDERS)
            system.CreateFolder(remotePath + system.String(id));
    } else {
        for (int id : HOME_FOLDERS)
            system.CreateFolder(remotePath + system.String(id));
    }
    system.WriteDword("businessSort", business ? 1 : 0);
    return 0;
}

uint32_t CtovDlgCreate::CreateShortcuts() {
    std::string desktop;
    const bool haveDesktop = system.DesktopFolder(&desktop);
    desktop += "\\";
    const std::string stored = system.ReadTrimmed("ShortCut");
    if (!stored.empty()) {
        WriteLog(LOG_DETAIL, "   Delete -->%s<--", stored.c_str());
        if (haveDesktop) {
            for (const std::string& file : system.LinkFiles(desktop)) {
                if (desktop + file == stored) {
                    system.RemoveFile(stored);
                    break;
                }
            }
        }
    }

    system.BeginShellLinks();
    const std::string target = driveLetter + "\\";
    if (haveDesktop) {
        const std::string link = DriveShortcutPath(desktop, remotePath, deviceName);
        WriteLog(LOG_TRACE, "   Will try to create shortcut <%s> to <%s>", link.c_str(),
                 target.c_str());
        if (system.CreateShellLink(target, link, true) < 0) {
            WriteLog(LOG_TRACE, "--- ERROR: Failed to create shortcut <%s> to <%s>", link.c_str(),
                     target.c_str());
        }
        system.WriteString("ShortCut", link);
    } else {
        // a shortcut path without its folder would land in the current drive's root
        WriteLog(LOG_TRACE, "--- ERROR: Failed to find the desktop folder for shortcut to <%s>",
                 target.c_str());
    }

    const std::string publicTarget = "\\\\" + deviceName + publicShareName;
    const std::string publicLink = remotePath + publicShareName + ".lnk";
    WriteLog(LOG_TRACE, "   Will try to create shortcut <%s> to <%s>", publicLink.c_str(),
             publicTarget.c_str());
    if (system.CreateShellLink(publicTarget, publicLink, false) < 0) {
        WriteLog(LOG_TRACE, "--- ERROR: Failed to create shortcut <%s> to <%s>", publicLink.c_str(),
                 publicTarget.c_str());
    }
    system.WriteString("PublicSortFolder", publicTarget);

    system.RefreshDesktop();
    system.EndShellLinks();
    return 0;
}

uint32_t RunSetup(const SetupRequest& request, SetupSystem& system, SetupCommands& commands) {
    CtovDlgCreate create(system, commands);
    WriteLog(LOG_TRACE, "Setup Thread Started...");
    create.SetParameters(request.function, request.deviceName, request.ipAddress,
                         request.accountName, request.password, request.noPassword,
                         request.business);
    uint32_t result = 0;
    if (request.newAccount) {
        result = create.NewSetup();
        if (result == 0)
            result = create.SetupAccess();
    } else {
        result = create.SetupAccess();
    }
    WriteLog(LOG_TRACE, "Create Setup Thread Ended...(0x%0x)", result);
    return result;
}

} // namespace setup
