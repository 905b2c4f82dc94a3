// SetupThread on Windows: the set-up worker over this computer, started by an account screen and
// reporting to it by a posted message.
#pragma once

#include <windows.h>

#include <memory>

#include "setup/setup_worker.h"
#include "skin/dialog_win32.h"

namespace setup {

// Messages of the account screens' threads; the set-up's carry its result in wParam.
constexpr UINT WM_SETUP_FINISHED = 0x04C8;
constexpr UINT WM_EXISTING_SETUP_FINISHED = 0x04C9;
constexpr UINT WM_USER_LIST_READY = 0x04CA;

// The set-up on this computer as a worker of the screen, which owns the thread and awaits it
// before it goes; doneMessage carries the result. stop, an event the screen sets when its window
// goes (X or Alt+F4 while the set-up runs), cuts the set-up's waits short.
bool StartSetupThread(skin::Dialog& screen, UINT doneMessage, const SetupRequest& request,
                      HANDLE stop);

// This computer's side of a set-up: connections, files, shell links, the product key.
class WindowsSetupSystem : public SetupSystem {
public:
    // stop: an event that ends the mapping's waits early (may be null).
    explicit WindowsSetupSystem(HANDLE stop) : stop(stop) {}

    uint32_t LogicalDrives() override;
    uint32_t GetConnection(const std::string& localName, std::string* remoteName) override;
    uint32_t AddConnection(const NetResource& resource, const std::string* password,
                           const std::string* userName, uint32_t flags) override;
    uint32_t CancelConnection(const std::string& name, uint32_t flags, bool force) override;
    std::unique_ptr<NetEnumeration> OpenConnectedDisks(const NetResource* container,
                                                       uint32_t* error) override;
    std::string ErrorText(uint32_t code) override;
    void WindowsVersion(int* major, int* minor) override;
    bool Wait(unsigned milliseconds) override;
    std::string String(int id) override;
    bool FileExists(const std::string& path) override;
    void CreateFolder(const std::string& path) override;
    void CreateHiddenFile(const std::string& path) override;
    bool DesktopFolder(std::string* folder) override;
    std::vector<std::string> LinkFiles(const std::string& folder) override;
    void RemoveFile(const std::string& path) override;
    void BeginShellLinks() override;
    void EndShellLinks() override;
    int32_t CreateShellLink(const std::string& target, const std::string& linkPath,
                            bool withIcon) override;
    void RefreshDesktop() override;
    void WriteShareValues(const std::string& sortFolder, const std::string& backupFolder,
                          const std::string& shareDriveLetter) override;
    void WriteString(const char* name, const std::string& value) override;
    void WriteDword(const char* name, uint32_t value) override;
    std::string ReadTrimmed(const char* name) override;

private:
    HANDLE stop;
    bool comStarted = false;
};

} // namespace setup
