// SetupThread on Windows: the set-up worker over this computer, started by an account screen and
// reporting to it by a posted message; and the run's hold on the thread while its screen goes.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "setup/setup_worker.h"
#include "skin/worker_win32.h"

namespace setup {

// Messages of the account screens' threads; the set-up's carry its result in wParam.
constexpr UINT WM_SETUP_FINISHED = 0x04C8;
constexpr UINT WM_EXISTING_SETUP_FINISHED = 0x04C9;
constexpr UINT WM_USER_LIST_READY = 0x04CA;

// A screen's worker thread. The thread gets copies of what it needs and the screen's link, never
// the screen; when the screen is destroyed first (X or Alt+F4 while it runs), the link drops the
// thread's message, the stop event cuts the set-up's waits short, and the screen's destructor
// waits here until the thread has ended, so it never runs on past the program's end.
class ScreenWorker {
public:
    ScreenWorker();
    ~ScreenWorker();
    ScreenWorker(const ScreenWorker&) = delete;
    ScreenWorker& operator=(const ScreenWorker&) = delete;

    // false when a thread runs already or cannot be started. doneMessage (0: none) is posted
    // with the work's result as wParam.
    bool Start(std::shared_ptr<skin::WorkerLink> link, UINT doneMessage,
               std::function<std::uint32_t(skin::WorkerLink&, HANDLE stop)> work);
    bool Running() const;

private:
    HANDLE thread = nullptr;
    HANDLE stop = nullptr;
};

// The set-up on this computer; posts doneMessage with the result when it ends.
bool StartSetupThread(ScreenWorker& worker, std::shared_ptr<skin::WorkerLink> link,
                      UINT doneMessage, const SetupRequest& request);

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
