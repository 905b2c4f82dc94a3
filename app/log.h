// The diagnostic log: one time-stamped line per call, written only when started with "-debug".
#pragma once

#include <cstdint>
#include <ctime>

// Categories a caller passes; a call is written when its category and the mask share a bit.
constexpr uint32_t LOG_TRACE = 0xFFFF;  // the main trace
constexpr uint32_t LOG_ERROR = 0x2000;  // failed launches, failed timers, drive problems
constexpr uint32_t LOG_DETAIL = 0x0002; // values read, language choice, small notes

// The log file of the program.
constexpr const char* LOG_PATH = "c:\\ZELTOVManager.log";

// Stores the mask and the path; with a mask other than 0 the file is created or emptied.
void InitLog(uint32_t mask, const char* path);

// Appends one entry: the 19-character local time, ">  ", the formatted text, a line feed.
// Safe to call from any thread; an entry that cannot be written is dropped silently.
void WriteLog(uint32_t category, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Where WriteLog takes the time from; null restores the system clock. Tests fix it.
using LogClock = std::time_t (*)();
void SetLogClock(LogClock clock);

// The fixed-width asctime-style text of a broken-down time, "Mon Dec  7 04:12:05 2026",
// independent of the locale.
void FormatLogTime(const std::tm& time, char (&out)[32]);
