// The diagnostic log: one time-stamped line per call, written only when started with "-debug".
#pragma once

#include <cstdint>

// Categories a caller passes; a call is written when its category and the mask share a bit.
constexpr uint32_t LOG_TRACE = 0xFFFF;  // the main trace
constexpr uint32_t LOG_ERROR = 0x2000;  // failed launches, failed timers, drive problems
constexpr uint32_t LOG_DETAIL = 0x0002; // values read, language choice, small notes

// The log file of the program.
constexpr const char* LOG_PATH = "c:\\ZELTOVManager.log";

// Stores the mask and the path; with a mask other than 0 the file is created or emptied.
void InitLog(uint32_t mask, const char* path);

// Appends one entry: the 19-character local time, ">  ", the formatted text, a line feed.
void WriteLog(uint32_t category, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
