// Schedule arithmetic in local time counted in minutes: when the scheduled backup is due, and
// whether one was missed while the engine was not running.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

struct Schedule {
    bool on = true;
    int days = 127; // bit 0 Sunday .. bit 6 Saturday
    int hour = 22;
    int minute = 0;
};

struct LocalTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0;
};

// Minutes since 1 January 1970 00:00 local time, and back.
int64_t MinuteOf(const LocalTime& t);
LocalTime TimeOf(int64_t minute);
// 0 Sunday .. 6 Saturday.
int WeekdayOf(int64_t minute);

// The latest scheduled time at or before now; false when the schedule is off or has no day.
bool LastScheduled(const Schedule& schedule, int64_t now, int64_t* out);
// The earliest scheduled time after now; false likewise.
bool NextScheduled(const Schedule& schedule, int64_t now, int64_t* out);

// What the engine remembers between its runs (per user).
struct EngineMemory {
    int64_t lastRun = -1;     // start of the latest backup run, any cause
    int64_t lastOffered = -1; // the scheduled time last offered as missed
};

// Whether the engine, starting at now, should offer the scheduled backup it missed: the latest
// scheduled time passed without a run since, and was not offered before. With no memory at all
// (a first start) nothing was missed.
bool MissedRun(const Schedule& schedule, const EngineMemory& memory, bool remembered, int64_t now,
               int64_t* missed);

// "YYYYMMDDHHMM" and back; false for anything else.
std::string FormatMinute(int64_t minute);
bool ParseMinute(const std::string& text, int64_t* out);

// The memory file: "lastRun TAB YYYYMMDDHHMM" and "lastOffered TAB ..." lines, CR LF. Unknown
// or malformed lines are ignored.
std::string FormatMemory(const EngineMemory& memory);
EngineMemory ParseMemory(const std::string& text);

// "MMDDYYYY" of a day, as the state file and the appliance show it.
std::string StateDate(const LocalTime& t);

} // namespace engine
