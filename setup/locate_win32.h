// The Locate screen: scans for appliances, lists them, reconfigures strays, stores the choice.
#pragma once

#include <memory>
#include <string>

#include "setup/locate_machine.h"
#include "skin/screen_win32.h"

namespace setup {

// What a scan thread posts for each appliance, with a copy of its record as a link letter.
constexpr UINT WM_LOCATE_APPLIANCE_FOUND = 0x0464;
// What a scan thread posts as it ends; the screen has nothing to do with it.
constexpr UINT WM_LOCATE_SCAN_DONE = WM_APP + 0x64;

class LocateDialog : public skin::Screen, public LocateScreen {
public:
    LocateDialog();

    const std::string& SelectedHostName() const { return machine.SelectedHostName(); }
    const std::string& SelectedIpAddress() const { return machine.SelectedIpAddress(); }

    // LocateScreen
    void ClearList() override;
    int AddListEntry(const std::string& text) override;
    void SelectEntry(int index) override;
    void ShowList(bool shown) override;
    void ShowDrivesLabel(bool shown) override;
    void ShowMessage(int stringId, int x, int y) override;
    void HideMessage() override;
    void HideProgressBar() override;
    void SetProgress(int position) override;
    void EnableStart(bool enabled) override;
    void EnableNext(bool enabled) override;
    void FocusStart() override;
    void FocusList() override;
    void Redraw() override;
    void RestoreWindow() override;
    void EndScreen(int result) override;
    bool StartTimer() override;
    void StopTimer() override;
    void Wait(unsigned milliseconds) override;
    void StartScanThread(ScanKind kind) override;
    void StartReconfigureFailedThread(const std::string& device) override;
    std::unique_ptr<ReconfigureChannel> OpenChannel() override;
    void SaveCurrentAppliance(const std::string& ipAddress, const std::string& hostName) override;
    void OpenSupportPage() override;

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void EnableButton(int buttonId, int labelId, bool enabled);

    LocateMachine machine{*this};
};

} // namespace setup
