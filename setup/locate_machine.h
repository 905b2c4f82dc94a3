// The Locate screen's scan machine: scans, the list of appliances, reconfiguration, the choice.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocol/channel.h"

namespace setup {

// String table numbers and places of the Locate screen's messages.
constexpr int STR_NONE_FOUND = 8;     // no drive found: cable, firewall, press Start
constexpr int STR_RECONFIGURING = 55; // a drive on another subnet is being reconfigured
constexpr int NONE_FOUND_X = 130;
constexpr int NONE_FOUND_Y = 170;
constexpr int RECONFIGURING_X = 130;
constexpr int RECONFIGURING_Y = 220;

constexpr unsigned SCAN_TIMER_MILLISECONDS = 100;
constexpr int SCAN_TICKS_DONE = 60; // what a scan thread leaves in the counter when it ends
constexpr unsigned RECONFIGURE_WAIT_MILLISECONDS = 5000;

enum class ScanState { Idle = 0, Unicast = 1, Broadcast = 2, Rescan = 3, Finish = 4 };
enum class ScanKind { Unicast, Broadcast };

// The scan tick counter of the process: the scan threads reset it and mark their end in it, the
// timer counts it up. No lock: each side only stores or adds whole values.
std::atomic<int>& ScanTickCounter();

// A scan thread's work between its log lines: "Discover" on a fresh channel.
void RunScanThread(ScanKind kind, std::atomic<int>& counter, const std::function<void()>& discover);

// One reconfiguration pass: a fresh channel with its own adapter tables.
class ReconfigureChannel {
public:
    virtual ~ReconfigureChannel() = default;
    virtual bool IsOnLocalSubnet(const std::string& address) = 0;
    // SetTarget and ReconfigureAppliance; 0 on success.
    virtual uint32_t Reconfigure(const std::string& address) = 0;
};

// Everything the machine does to the screen, its timer and its threads.
class LocateScreen {
public:
    virtual ~LocateScreen() = default;

    virtual void ClearList() = 0;
    // Adds an entry at the list's end; its index, or -1 when the list refused it.
    virtual int AddListEntry(const std::string& text) = 0;
    virtual void SelectEntry(int index) = 0;
    virtual void ShowList(bool shown) = 0;
    virtual void ShowDrivesLabel(bool shown) = 0;
    // The message static with a string, moved to a place; hidden again by HideMessage.
    virtual void ShowMessage(int stringId, int x, int y) = 0;
    virtual void HideMessage() = 0;
    virtual void HideProgressBar() = 0;
    virtual void SetProgress(int position) = 0;
    virtual void EnableStart(bool enabled) = 0;
    virtual void EnableNext(bool enabled) = 0;
    virtual void FocusStart() = 0;
    virtual void FocusList() = 0;
    virtual void Redraw() = 0;
    virtual void RestoreWindow() = 0;
    virtual void EndScreen(int result) = 0;

    // Timer id 1 at 100 ms; false when it cannot be started.
    virtual bool StartTimer() = 0;
    virtual void StopTimer() = 0;
    // The screen's thread waits; it does not respond meanwhile.
    virtual void Wait(unsigned milliseconds) = 0;

    // A scan thread that runs RunScanThread and posts each appliance it finds.
    virtual void StartScanThread(ScanKind kind) = 0;
    // A thread that shows the message dialog for 0xFF00000C under string 9 with this device.
    virtual void StartReconfigureFailedThread(const std::string& device) = 0;
    virtual std::unique_ptr<ReconfigureChannel> OpenChannel() = 0;

    // "CurrentIP" and "CurrentHostName" through one key; failures are ignored.
    virtual void SaveCurrentAppliance(const std::string& ipAddress,
                                      const std::string& hostName) = 0;
    virtual void OpenSupportPage() = 0;
};

enum class LocateKey { Enter, Escape, AltF4, Other };
enum class LocateFocus { Start, Web, Other };

class LocateMachine {
public:
    explicit LocateMachine(LocateScreen& screen, std::atomic<int>& counter = ScanTickCounter());

    void StartScan();
    void OnScanTimer();
    // Takes over a record a scan thread handed the screen.
    void OnApplianceFound(std::unique_ptr<ApplianceRecord> record);
    void OnSelectionChange(int index);
    // Stores the selected entry's appliance and ends the screen with 102.
    void SaveSelection();
    // True when the key is handled here and the dialog must not see it.
    bool OnKey(LocateKey key, LocateFocus focus);

    ScanState State() const { return state; }
    const std::string& SelectedHostName() const { return selectedHostName; }
    const std::string& SelectedIpAddress() const { return selectedIpAddress; }
    size_t EntryCount() const { return entries.size(); }
    bool NextEnabled() const { return nextEnabled; }

private:
    void ClearFound();
    void StartTimerOrReport();
    void Finish();
    void RestartAfterReconfiguration();
    void BeginUnicastScan(ScanState next);
    void ReportFailure(const ApplianceRecord& record);

    LocateScreen& screen;
    std::atomic<int>& counter;
    ScanState state = ScanState::Idle;
    // The screen's copies, and per list entry the copy attached to it.
    std::vector<std::unique_ptr<ApplianceRecord>> found;
    std::vector<const ApplianceRecord*> entries;
    int selected = -1;
    bool nextEnabled = false;
    std::string selectedHostName;
    std::string selectedIpAddress;
};

// The device part of the failure message's heading: NAME(address), no space.
std::string ReconfigureFailedDevice(const ApplianceRecord& record);

} // namespace setup
