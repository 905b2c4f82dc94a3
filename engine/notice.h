// What the engine tells the logged-on user, and when: a backup that ended failed or incomplete,
// a share it could not reach, a scheduled backup that could not run. A clean run says nothing.
#pragma once

#include "engine/engine_core.h"
#include "engine/schedule_clock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

enum class RunCause {
    Started,   // "backup" from a client, or "Back up now" from the tray
    Scheduled, // the weekly schedule
};

enum class NoticeIcon { Warning, Error };

// The notification area's balloon holds a title of 63 characters and a text of 255.
constexpr size_t kNoticeTitleMax = 63;
constexpr size_t kNoticeTextMax = 255;

struct Notice {
    bool show = false;
    NoticeIcon icon = NoticeIcon::Warning;
    std::string title;
    std::string text;
    std::string quiet; // when nothing is shown: why (for the test journal)
};

// The appliance of a share root: "\\NAS1\abcd" gives "NAS1".
std::string ApplianceOf(const std::string& shareRoot);

// What to tell after a backup run. A share the user stopped says nothing; a run that copied
// everything says nothing.
Notice RunNotice(RunCause cause, const RunSummary& summary);

// A scheduled backup of the minute `scheduled` that did not run; appliances are the selection's.
// asleep: the engine was running and the computer slept through it; otherwise the engine was not
// running (the computer was off, asleep or nobody was logged on).
Notice MissedNotice(int64_t scheduled, const std::vector<std::string>& appliances, bool asleep);

// The engine log's line for a notice.
std::string NoticeLogLine(const Notice& notice);

// A scheduled time counts as missed when the engine first looks more than this much later (it
// looks every 20 seconds while the computer is awake).
constexpr int64_t kLateMinutes = 10;

enum class Turn { None, RunNow, Missed };

// What the schedule asks at a look at now, the previous look having been at lastLook: the
// latest scheduled time after lastLook is run, or, when the engine looks too late for it (the
// computer slept), reported missed. *due gets that time.
Turn ScheduleTurn(const Schedule& schedule, int64_t lastLook, int64_t now, int64_t* due);

// The tray icon's menu, in its order.
struct TrayItem {
    int id;
    const char* text;
};
constexpr int kTrayBackUpNow = 1;
constexpr int kTrayOpenStatus = 2;
const std::vector<TrayItem>& TrayMenu();
constexpr const char* kTrayTip = "TOV backup";
// The switch a click on a notice or "Open backup status" starts tovManager.exe with.
constexpr const char* kStatusSwitch = "-dashBoard";

} // namespace engine
