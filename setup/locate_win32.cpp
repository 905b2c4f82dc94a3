// The Locate screen's controls, timer and threads around the portable scan machine.
#include "setup/locate_win32.h"

#include <commctrl.h>

#include "app/globals.h"
#include "app/log.h"
#include "app/settings.h"
#include "res/resource.h"
#include "setup/launch.h"
#include "setup/message_dialog_win32.h"
#include "setup/message_table.h"
#include "setup/scan_channel.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"
#include "skin/worker_win32.h"

namespace setup {
namespace {

constexpr UINT_PTR SCAN_TIMER_ID = 1;
constexpr int PROGRESS_RANGE = 60;
constexpr const char* VERSION_TEXT = "v1.1.0.35";

// Hands each appliance a scan finds to the screen through the link, which frees the copy when the
// screen has gone.
class LinkSink : public ApplianceSink {
public:
    explicit LinkSink(skin::WorkerLink& link) : link(link) {}
    void ApplianceFound(const ApplianceRecord& record) override {
        link.DeliverValue(WM_LOCATE_APPLIANCE_FOUND, record);
    }

private:
    skin::WorkerLink& link;
};

} // namespace

LocateDialog::LocateDialog() : Screen(IDD_LOCATE) {}

bool LocateDialog::OnInitDialog() {
    InitSkin(IDB_BG_LOCATE);
    SetLargeIcon(IDI_APP);
    skin::PlaceControls(*this, IDD_LOCATE);
    skin::SetLabelText(*this, IDC_VERSION, VERSION_TEXT);
    SendMessageA(Item(IDC_SCAN_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, PROGRESS_RANGE));
    SendMessageA(Item(IDC_SCAN_PROGRESS), PBM_SETSTEP, PROGRESS_RANGE, 0);
    SendMessageA(Item(IDC_SCAN_PROGRESS), PBM_SETPOS, 1, 0);
    SendMessageA(Item(IDC_DEVICE_LIST), CB_RESETCONTENT, 0, 0);
    ApplyJapaneseFont({IDC_DEVICE_LIST});
    ShowItem(IDC_SCAN_MESSAGE, false);
    ShowItem(IDC_DRIVES_LOCATED, false);
    ShowItem(IDC_DEVICE_LIST, false);
    machine.StartScan();
    return true;
}

void LocateDialog::ClearList() { SendMessageA(Item(IDC_DEVICE_LIST), CB_RESETCONTENT, 0, 0); }

int LocateDialog::AddListEntry(const std::string& text) {
    const LRESULT index = SendMessageA(Item(IDC_DEVICE_LIST), CB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(text.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

void LocateDialog::SelectEntry(int index) {
    SendMessageA(Item(IDC_DEVICE_LIST), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void LocateDialog::ShowList(bool shown) { ShowItem(IDC_DEVICE_LIST, shown); }

void LocateDialog::ShowDrivesLabel(bool shown) { ShowItem(IDC_DRIVES_LOCATED, shown); }

void LocateDialog::ShowMessage(int stringId, int x, int y) {
    MoveItem(IDC_SCAN_MESSAGE, x, y);
    skin::SetLabelText(*this, IDC_SCAN_MESSAGE, skin::LoadString(static_cast<UINT>(stringId)));
    ShowItem(IDC_SCAN_MESSAGE, true);
    // A message may stand for a few seconds only (the reconfiguration's): the log keeps it.
    WriteLog(LOG_TRACE, "  Message %d shown at (%d, %d)", stringId, x, y);
}

void LocateDialog::HideMessage() { ShowItem(IDC_SCAN_MESSAGE, false); }

void LocateDialog::HideProgressBar() { ShowItem(IDC_SCAN_PROGRESS, false); }

void LocateDialog::SetProgress(int position) {
    SendMessageA(Item(IDC_SCAN_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void LocateDialog::EnableButton(int buttonId, int labelId, bool enabled) {
    EnableItem(buttonId, enabled);
    if (skin::SkinLabel* label = FindLabel(labelId)) {
        label->SetDimmed(!enabled);
        label->Redraw();
    }
}

void LocateDialog::EnableStart(bool enabled) { EnableButton(IDC_START, IDC_START_LABEL, enabled); }

void LocateDialog::EnableNext(bool enabled) { EnableButton(IDC_NEXT, IDC_NEXT_LABEL, enabled); }

void LocateDialog::FocusStart() { SetFocusTo(IDC_START); }

void LocateDialog::FocusList() { SetFocusTo(IDC_DEVICE_LIST); }

void LocateDialog::Redraw() {
    // painted now, children too: the screen may be made to wait right after
    RedrawWindow(Hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void LocateDialog::RestoreWindow() { ShowWindow(Hwnd(), SW_RESTORE); }

void LocateDialog::EndScreen(int result) { EndDialog(result); }

bool LocateDialog::StartTimer() {
    return Screen::StartTimer(SCAN_TIMER_ID, SCAN_TIMER_MILLISECONDS);
}

void LocateDialog::StopTimer() { Screen::StopTimer(SCAN_TIMER_ID); }

void LocateDialog::Wait(unsigned milliseconds) { Sleep(milliseconds); }

void LocateDialog::StartScanThread(ScanKind kind) {
    // The thread holds the link and the process-wide counter, never the screen.
    const bool started = StartWorker(WM_LOCATE_SCAN_DONE, [kind](skin::WorkerLink& link) {
        LinkSink sink(link);
        RunScanThread(kind, ScanTickCounter(), [kind, &sink] { DiscoverAppliances(kind, sink); });
        return 0u;
    });
    // Without the thread the counter still runs out after its ticks and the machine goes on.
    if (!started)
        WriteLog(LOG_ERROR, "--- FAILED: Could not start the %s scan thread, error %lu",
                 kind == ScanKind::Unicast ? "unicast" : "broadcast",
                 static_cast<unsigned long>(GetLastError()));
}

void LocateDialog::StartReconfigureFailedThread(const std::string& device) {
    // The screen waits for the thread as it closes, so the message outlives neither the flow nor
    // the language library it reads its texts from.
    if (StartWorker(0, [device](skin::WorkerLink&) {
            ShowMessageDialog(device, MSG_RECONFIGURE_FAILED);
            return 0u;
        }))
        return;
    WriteLog(LOG_ERROR, "--- FAILED: Could not start the reconfiguration message thread, error %lu",
             static_cast<unsigned long>(GetLastError()));
    // The user learns of the failure all the same, while the screen waits.
    ShowMessageDialog(device, MSG_RECONFIGURE_FAILED, Hwnd());
}

std::unique_ptr<ReconfigureChannel> LocateDialog::OpenChannel() { return OpenReconfigureChannel(); }

void LocateDialog::SaveCurrentAppliance(const std::string& ipAddress, const std::string& hostName) {
    AppSettings::WriteCurrentAppliance(ipAddress, hostName);
}

void LocateDialog::OpenSupportPage() { setup::OpenSupportPage(); }

void LocateDialog::OnEnter(int focusedId) {
    LocateFocus focus = LocateFocus::Other;
    if (focusedId == IDC_START)
        focus = LocateFocus::Start;
    else if (focusedId == IDC_WEB)
        focus = LocateFocus::Web;
    machine.OnKey(LocateKey::Enter, focus);
}

bool LocateDialog::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (id == IDC_DEVICE_LIST && code == CBN_SELCHANGE) {
        machine.OnSelectionChange(
            static_cast<int>(SendMessageA(Item(IDC_DEVICE_LIST), CB_GETCURSEL, 0, 0)));
        return true;
    }
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_NEXT:
        machine.SaveSelection();
        return true;
    case IDC_START:
        machine.StartScan();
        return true;
    case IDC_WEB:
        OpenSupportPage();
        return true;
    default:
        return false;
    }
}

void LocateDialog::OnTimer(UINT_PTR id) {
    if (id == SCAN_TIMER_ID)
        machine.OnScanTimer();
}

INT_PTR LocateDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_LOCATE_APPLIANCE_FOUND) {
        if (auto parcel = Link()->TakeValue<ApplianceRecord>(lParam))
            machine.OnApplianceFound(std::make_unique<ApplianceRecord>(std::move(parcel->value)));
        handled = true;
        return TRUE;
    }
    if (message == WM_LOCATE_SCAN_DONE) {
        handled = true;
        return TRUE;
    }
    return Screen::OnMessage(message, wParam, lParam, handled);
}

} // namespace setup
