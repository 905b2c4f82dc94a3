// The backup wizard's schedule page (582) and summary page (583).
#pragma once

#include <windows.h>

#include <string>

#include "backup/platform.h"
#include "backup/schedule_config.h"
#include "skin/screen_win32.h"

namespace backup {

// The days and the time of the scheduled backup; Next saves them and tells the engine.
class WizardScheduleScreen : public skin::Screen {
public:
    WizardScheduleScreen(const std::string& shareRoot, const std::string& installDirectory,
                         Platform* platform = nullptr);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

    // One command to the backup engine (tests record it instead).
    virtual void SendEngineCommand(const char* command);
    // The user's default locale, which chooses the picker's format.
    virtual unsigned long UserLocale();

private:
    void Next();

    std::string shareRoot;
    std::string installDirectory;
    ScheduleConfig schedule;
};

// The destination, the schedule and the scheduled backup switched on or off.
class WizardSummaryScreen : public skin::Screen {
public:
    WizardSummaryScreen(const std::string& shareRoot, const std::string& driveLetter,
                        Platform* platform = nullptr);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Finish();

    std::string shareRoot;
    std::string driveLetter;
    ScheduleConfig schedule;
};

} // namespace backup
