// The Locate screen's scan machine, driven by the screen's 100 ms timer and the scan threads.
#include "setup/locate_machine.h"

#include <cctype>

#include "app/log.h"
#include "setup/screen_results.h"

namespace setup {
namespace {

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::atomic<int>& ScanTickCounter() {
    static std::atomic<int> counter{0};
    return counter;
}

void RunScanThread(ScanKind kind, std::atomic<int>& counter,
                   const std::function<void()>& discover) {
    const bool unicast = kind == ScanKind::Unicast;
    WriteLog(LOG_TRACE,
             unicast ? "Scan Unicast Thread Started..." : "Scan Broadcast Thread Started...");
    counter.store(0);
    discover();
    WriteLog(LOG_TRACE,
             unicast ? "Scan Unicast Thread Ended..." : "Scan BroadCast Thread Ended...");
    counter.store(SCAN_TICKS_DONE);
}

std::string ReconfigureFailedDevice(const ApplianceRecord& record) {
    return UpperCase(record.hostName) + "(" + record.ipAddress + ")";
}

LocateMachine::LocateMachine(LocateScreen& screen, std::atomic<int>& counter)
    : screen(screen), counter(counter) {}

void LocateMachine::ClearFound() {
    screen.ClearList();
    entries.clear();
    found.clear();
    selected = -1;
}

void LocateMachine::StartTimerOrReport() {
    if (screen.StartTimer())
        return;
    WriteLog(LOG_ERROR, "--- FAILED: Scan for TOV Device Timer FAILED....Disabling Progress Bar");
    screen.HideProgressBar();
}

void LocateMachine::StartScan() {
    screen.HideMessage();
    BeginUnicastScan(ScanState::Unicast);
}

// Empties the list and starts a unicast scan in the given state, Start and Next disabled.
void LocateMachine::BeginUnicastScan(ScanState next) {
    screen.ShowDrivesLabel(false);
    screen.ShowList(false);
    ClearFound();
    screen.EnableStart(false);
    screen.EnableNext(false);
    nextEnabled = false;
    state = next;
    counter.store(0);
    StartTimerOrReport();
    screen.StartScanThread(ScanKind::Unicast);
}

void LocateMachine::OnApplianceFound(std::unique_ptr<ApplianceRecord> record) {
    if (!record)
        return;
    record->hostName = UpperCase(record->hostName);
    const int index = screen.AddListEntry(record->hostName + " (" + record->ipAddress + ")");
    const ApplianceRecord* copy = record.get();
    found.push_back(std::move(record));
    if (index >= 0) {
        const size_t at = static_cast<size_t>(index) < entries.size() ? static_cast<size_t>(index)
                                                                      : entries.size();
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), copy);
    }
    WriteLog(LOG_TRACE, "  [%i] '%s' - %s - [%s]", index, copy->hostName.c_str(),
             copy->ipAddress.c_str(), copy->detail.c_str());
    if (!entries.empty()) {
        screen.SelectEntry(0);
        selected = 0;
        screen.ShowList(true);
        screen.ShowDrivesLabel(true);
        screen.HideMessage();
    } else {
        screen.ShowMessage(STR_NONE_FOUND, NONE_FOUND_X, NONE_FOUND_Y);
        screen.ShowList(false);
        screen.ShowDrivesLabel(false);
    }
    screen.Redraw();
}

void LocateMachine::OnSelectionChange(int index) {
    if (index < 0 || static_cast<size_t>(index) >= entries.size())
        return;
    selected = index;
    selectedHostName = entries[static_cast<size_t>(index)]->hostName;
    selectedIpAddress = entries[static_cast<size_t>(index)]->ipAddress;
}

void LocateMachine::SaveSelection() {
    // Without an attached copy there is no choice to store, and the screen stays.
    if (selected < 0 || static_cast<size_t>(selected) >= entries.size())
        return;
    const ApplianceRecord& chosen = *entries[static_cast<size_t>(selected)];
    selectedHostName = UpperCase(chosen.hostName);
    selectedIpAddress = chosen.ipAddress;
    screen.SaveCurrentAppliance(selectedIpAddress, selectedHostName);
    screen.EndScreen(RESULT_NEXT);
}

void LocateMachine::ReportFailure(const ApplianceRecord& record) {
    screen.StartReconfigureFailedThread(ReconfigureFailedDevice(record));
}

void LocateMachine::RestartAfterReconfiguration() {
    // The reconfiguring message stays until the rescan lists its first appliance.
    BeginUnicastScan(ScanState::Rescan);
}

void LocateMachine::Finish() {
    state = ScanState::Idle;
    if (entries.empty()) {
        screen.ShowMessage(STR_NONE_FOUND, NONE_FOUND_X, NONE_FOUND_Y);
        screen.Redraw();
        screen.ShowList(false);
        screen.ShowDrivesLabel(false);
        screen.EnableStart(true);
        screen.FocusStart();
    } else {
        screen.FocusList();
        screen.EnableNext(true);
        nextEnabled = true;
        if (entries.size() == 1) {
            screen.RestoreWindow();
            SaveSelection();
        }
    }
    screen.EnableStart(true);
}

void LocateMachine::OnScanTimer() {
    WriteLog(LOG_TRACE, "   OnTimer Function %d", counter.load());
    screen.SetProgress(counter.load());
    screen.StopTimer();
    const int old = counter.fetch_add(1);
    if (old <= SCAN_TICKS_DONE) {
        screen.StartTimer();
        return;
    }

    switch (state) {
    case ScanState::Unicast:
        if (entries.empty()) {
            state = ScanState::Broadcast;
            counter.store(0);
            StartTimerOrReport();
            screen.StartScanThread(ScanKind::Broadcast);
        } else {
            bool reconfigured = false;
            {
                std::unique_ptr<ReconfigureChannel> channel = screen.OpenChannel();
                // Copied first: a failure report must not depend on the list staying put.
                const std::vector<const ApplianceRecord*> listed = entries;
                for (const ApplianceRecord* entry : listed) {
                    if (channel->IsOnLocalSubnet(entry->ipAddress))
                        continue;
                    if (channel->Reconfigure(entry->ipAddress) != 0)
                        ReportFailure(*entry);
                    reconfigured = true;
                }
            }
            if (!reconfigured) {
                state = ScanState::Finish;
            } else {
                screen.ShowMessage(STR_RECONFIGURING, RECONFIGURING_X, RECONFIGURING_Y);
                screen.Redraw();
                screen.Wait(RECONFIGURE_WAIT_MILLISECONDS);
                RestartAfterReconfiguration();
            }
        }
        break;
    case ScanState::Broadcast:
        if (entries.empty()) {
            state = ScanState::Finish;
        } else {
            screen.ShowMessage(STR_RECONFIGURING, RECONFIGURING_X, RECONFIGURING_Y);
            screen.Redraw();
            {
                std::unique_ptr<ReconfigureChannel> channel = screen.OpenChannel();
                const std::vector<const ApplianceRecord*> listed = entries;
                for (const ApplianceRecord* entry : listed) {
                    if (channel->Reconfigure(entry->ipAddress) != 0)
                        ReportFailure(*entry);
                }
            }
            screen.Wait(RECONFIGURE_WAIT_MILLISECONDS);
            RestartAfterReconfiguration();
        }
        break;
    default:
        state = ScanState::Finish;
        break;
    }

    if (state == ScanState::Finish)
        Finish();
}

bool LocateMachine::OnKey(LocateKey key, LocateFocus focus) {
    switch (key) {
    case LocateKey::Escape:
        return true;
    case LocateKey::Enter:
        if (focus == LocateFocus::Start)
            StartScan();
        else if (focus == LocateFocus::Web)
            screen.OpenSupportPage();
        else if (nextEnabled)
            SaveSelection();
        return true;
    case LocateKey::AltF4:
        screen.EndScreen(RESULT_CLOSE);
        return true;
    case LocateKey::Other:
        break;
    }
    return false;
}

} // namespace setup
