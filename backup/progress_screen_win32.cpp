// The Backup Progress screen.
#include "backup/progress_screen_win32.h"

#include "app/log.h"
#include "backup/backup_engine.h"
#include "res/resource.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace backup {

namespace {

constexpr UINT STR_PROGRESS_COUNTER = 174;
constexpr UINT STR_PROGRESS_FILE = 175;
constexpr UINT STR_PROGRESS_FOLDER = 176;
constexpr UINT STR_BACKUP_COMPLETE = 200;
constexpr UINT STR_PROGRESS_TO = 201;
constexpr UINT STR_ALL_BACKED_UP = 202;
constexpr UINT STR_BACKUP_FOLDER = 62;
constexpr UINT STR_OK = 37;

const int kLines[] = {IDC_PROGRESS_STATUS, IDC_PROGRESS_COUNTER, IDC_PROGRESS_FILE,
                      IDC_PROGRESS_FOLDER};

} // namespace

BackupProgressScreen::BackupProgressScreen(const std::string& hostName,
                                           const std::string& shareRoot,
                                           const std::string& driveLetter, ProgressChannel* channel,
                                           CommandSender send, Shown shown)
    : Screen(IDD_BACKUP_PROGRESS), hostName_(hostName), shareRoot_(shareRoot),
      driveLetter_(driveLetter), channel_(channel), send_(std::move(send)),
      shown_(std::move(shown)) {
    if (!send_)
        send_ = [](const char* command) { BackupEngine::SendCommand(command); };
}

bool BackupProgressScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_BACKUP_PROGRESS);
    // title, status line and button label come with the layout; the other lines are set here,
    // all of them hidden until the first news
    skin::SetLabelText(*this, IDC_PROGRESS_COUNTER, skin::LoadString(STR_PROGRESS_COUNTER));
    skin::SetLabelText(*this, IDC_PROGRESS_FILE, skin::LoadString(STR_PROGRESS_FILE));
    skin::SetLabelText(*this, IDC_PROGRESS_FOLDER, skin::LoadString(STR_PROGRESS_FOLDER));
    for (int id : kLines)
        ShowItem(id, false);
    if (!channel_)
        channel_ = &ProcessProgressChannel();
    timer_ = StartTimer(kProgressTimerId, kProgressTimerMs);
    if (!timer_)
        ticker_.NoTimer();
    SetFocusTo(IDC_NEXT);
    return false;
}

void BackupProgressScreen::Update(const ProgressRecord& record) {
    for (int id : kLines)
        ShowItem(id, true);
    skin::SetLabelText(*this, IDC_PROGRESS_FILE, skin::LoadString(STR_PROGRESS_FILE) + record.file);
    skin::SetLabelText(*this, IDC_PROGRESS_FOLDER,
                       skin::LoadString(STR_PROGRESS_FOLDER) + record.folder);
    skin::SetLabelText(*this, IDC_PROGRESS_COUNTER,
                       CounterText(skin::LoadString(STR_PROGRESS_COUNTER), record.filesCompleted,
                                   record.bytesCopied));
    if (shown_)
        shown_(false);
    // gives the engine the processor between two looks
    Sleep(100);
}

void BackupProgressScreen::ShowCompletion() {
    skin::SetLabelText(*this, IDC_PROGRESS_STATUS, skin::LoadString(STR_BACKUP_COMPLETE));
    skin::SetLabelText(*this, IDC_PROGRESS_FILE,
                       DestinationText(skin::LoadString(STR_PROGRESS_TO), driveLetter_, shareRoot_,
                                       skin::LoadString(STR_BACKUP_FOLDER)));
    skin::SetLabelText(*this, IDC_PROGRESS_FOLDER, skin::LoadString(STR_ALL_BACKED_UP));
    // the counter line keeps what it showed last, hidden when nothing was shown
    for (int id : {IDC_PROGRESS_STATUS, IDC_PROGRESS_FILE, IDC_PROGRESS_FOLDER})
        ShowItem(id, true);
    skin::SetLabelText(*this, IDC_NEXT_LABEL, skin::LoadString(STR_OK));
    WriteLog(LOG_TRACE, "  Backup progress on %s: complete, <%s>", hostName_.c_str(),
             ItemText(IDC_PROGRESS_COUNTER).c_str());
    if (shown_)
        shown_(true);
}

void BackupProgressScreen::OnTimer(UINT_PTR id) {
    if (id != kProgressTimerId || ticker_.Stopping())
        return;
    const int result = channel_->Poll(this, 1);
    if (ticker_.OnPoll(result) == ProgressTicker::Action::Complete) {
        StopTimer(kProgressTimerId);
        timer_ = false;
        ShowCompletion();
    }
}

void BackupProgressScreen::Button() {
    if (ticker_.OnButton()) {
        WriteLog(LOG_TRACE, "  Backup progress: Stop");
        send_(ENGINE_CANCEL);
    }
    if (timer_) {
        StopTimer(kProgressTimerId);
        timer_ = false;
    }
    EndDialog(setup::RESULT_FINISHED);
}

void BackupProgressScreen::OnEnter(int focusedId) {
    if (focusedId == IDC_NEXT)
        Button();
}

bool BackupProgressScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (id == IDC_NEXT && code == BN_CLICKED) {
        Button();
        return true;
    }
    return false;
}

void BackupProgressScreen::OnDestroy() {
    if (timer_) {
        StopTimer(kProgressTimerId);
        timer_ = false;
    }
}

} // namespace backup
