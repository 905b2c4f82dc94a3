// The backup wizard's schedule page (582) and summary page (583).
#include "backup/wizard_schedule_win32.h"

#include <commctrl.h>

#include "app/log.h"
#include "backup/backup_engine.h"
#include "backup/wizard_texts.h"
#include "res/resource.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace backup {

namespace {

// The day boxes in the order of the mask's bits, Sunday first.
int DayBox(int bit) { return IDC_DAY_SUNDAY + bit; }

} // namespace

WizardScheduleScreen::WizardScheduleScreen(const std::string& root, const std::string& install,
                                           Platform* platform)
    : Screen(IDD_WIZARD_SCHEDULE), shareRoot(root), installDirectory(install), schedule(platform) {}

void WizardScheduleScreen::SendEngineCommand(const char* command) {
    BackupEngine::SendCommand(command);
}

unsigned long WizardScheduleScreen::UserLocale() { return GetUserDefaultLCID(); }

bool WizardScheduleScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_WIZARD_SCHEDULE);
    ApplyJapaneseFont({IDC_DAY_MONDAY, IDC_DAY_TUESDAY, IDC_DAY_WEDNESDAY, IDC_DAY_THURSDAY,
                       IDC_DAY_FRIDAY, IDC_DAY_SATURDAY, IDC_DAY_SUNDAY});
    for (int bit = 0; bit < 7; ++bit)
        SendMessageA(Item(DayBox(bit)), BM_SETCHECK,
                     (schedule.Days() & (1 << bit)) ? BST_CHECKED : BST_UNCHECKED, 0);
    HWND picker = Item(IDC_SCHEDULE_TIME);
    const char* format = PickerFormat(static_cast<uint32_t>(UserLocale()));
    SendMessageA(picker, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(format));
    // only the time counts; the date part is a fixed day
    SYSTEMTIME t{};
    t.wYear = 2005;
    t.wMonth = 3;
    t.wDayOfWeek = 3;
    t.wDay = 23;
    t.wHour = static_cast<WORD>(schedule.Hour());
    t.wMinute = static_cast<WORD>(schedule.Minute());
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    WriteLog(LOG_TRACE, "  Backup schedule: days %d at %02d:%02d (%s), picker \"%s\"",
             static_cast<int>(schedule.Days()), static_cast<int>(schedule.Hour()),
             static_cast<int>(schedule.Minute()), schedule.Loaded() ? "read" : "defaults", format);
    SetFocusTo(IDC_NEXT);
    return false;
}

void WizardScheduleScreen::Next() {
    int32_t days = 0;
    for (int bit = 0; bit < 7; ++bit) {
        if (SendMessageA(Item(DayBox(bit)), BM_GETCHECK, 0, 0) == BST_CHECKED)
            days |= 1 << bit;
    }
    SYSTEMTIME t{};
    if (SendMessageA(Item(IDC_SCHEDULE_TIME), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)) ==
        GDT_VALID)
        schedule.SetTime(t.wHour, t.wMinute);
    schedule.SetDays(days);
    const bool saved = schedule.Save(kAttrNormal, kCreateAlways, false);
    WriteLog(saved ? LOG_TRACE : LOG_ERROR, "  Backup schedule saved: days %d at %02d:%02d%s",
             static_cast<int>(days), static_cast<int>(schedule.Hour()),
             static_cast<int>(schedule.Minute()), saved ? "" : " --- FAILED");
    SendEngineCommand(ENGINE_RESCHEDULE);
    EndDialog(setup::RESULT_NEXT);
}

void WizardScheduleScreen::OnEnter(int focusedId) {
    const bool button = focusedId == IDC_BACK || focusedId == IDC_CANCEL || focusedId == IDC_NEXT;
    Press(button ? focusedId : IDC_NEXT);
}

bool WizardScheduleScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_BACK:
        EndDialog(setup::RESULT_BACK);
        return true;
    case IDC_CANCEL:
        EndDialog(setup::RESULT_FINISHED);
        return true;
    case IDC_NEXT:
        Next();
        return true;
    default:
        return false;
    }
}

WizardSummaryScreen::WizardSummaryScreen(const std::string& root, const std::string& drive,
                                         Platform* platform)
    : Screen(IDD_WIZARD_SUMMARY), shareRoot(root), driveLetter(drive), schedule(platform) {}

bool WizardSummaryScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_WIZARD_SUMMARY);
    ApplyJapaneseFont({IDC_SUMMARY_ON, IDC_SUMMARY_OFF});
    const std::string daily = skin::LoadString(STR_WIZARD_DAILY);
    const std::string at = skin::LoadString(STR_WIZARD_AT);
    skin::SetLabelText(*this, IDC_SUMMARY_SCHED, ScheduleLineBeforeFill(daily, at));
    skin::SetLabelText(
        *this, IDC_SUMMARY_DEST,
        DestinationLine(driveLetter, shareRoot, skin::LoadString(STR_WIZARD_BACKUP_FOLDER)));
    DayNames names;
    for (int i = 0; i < 7; ++i)
        names.names[i] = skin::LoadString(static_cast<UINT>(STR_WIZARD_MONDAY + i));
    skin::SetLabelText(*this, IDC_SUMMARY_SCHED,
                       ScheduleLine(schedule.Days(), schedule.Hour(), schedule.Minute(), names,
                                    daily, at, skin::LoadString(STR_WIZARD_NEVER)));
    SendMessageA(Item(IDC_SUMMARY_ON), BM_SETCHECK, schedule.On() ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(Item(IDC_SUMMARY_OFF), BM_SETCHECK, schedule.On() ? BST_UNCHECKED : BST_CHECKED,
                 0);
    SetFocusTo(IDC_NEXT);
    return false;
}

void WizardSummaryScreen::Finish() {
    const bool on = SendMessageA(Item(IDC_SUMMARY_ON), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const bool saved = schedule.SetOn(on);
    WriteLog(saved ? LOG_TRACE : LOG_ERROR, "  Scheduled backup %s%s", on ? "on" : "off",
             saved ? "" : " --- FAILED to save");
    EndDialog(setup::RESULT_FINISHED);
}

void WizardSummaryScreen::OnEnter(int focusedId) {
    const bool button = focusedId == IDC_EDIT || focusedId == IDC_ADVANCED || focusedId == IDC_NEXT;
    Press(button ? focusedId : IDC_NEXT);
}

bool WizardSummaryScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_EDIT:
        EndDialog(setup::RESULT_EDIT);
        return true;
    case IDC_ADVANCED:
        EndDialog(setup::RESULT_ADVANCED);
        return true;
    case IDC_NEXT:
        Finish();
        return true;
    default:
        return false;
    }
}

} // namespace backup
