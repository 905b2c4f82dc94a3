// The backup wizard's texts and choices that need no window: the schedule line, the destination
// line, the time picker's format and the day boxes.
#pragma once

#include <cstdint>
#include <string>

namespace backup {

// The string-table texts the summary is made of.
constexpr int STR_WIZARD_NEVER = 18;
constexpr int STR_WIZARD_BACKUP_FOLDER = 62; // "\My Backup"
constexpr int STR_WIZARD_AT = 95;
constexpr int STR_WIZARD_MONDAY = 96; // 96 to 102: Monday to Sunday
constexpr int STR_WIZARD_DAILY = 103;

// The day names in the order the summary lists them, Monday first (strings 96 to 102).
struct DayNames {
    std::string names[7];
};

// The day mask's bit for the n-th day of the summary's order (0 Monday ... 6 Sunday).
int32_t DayBit(int mondayFirstIndex);

// "%#I:%M %p": the hour from 1 to 12 without a leading zero, the minutes, AM or PM.
std::string TwelveHourTime(int32_t hour, int32_t minute);

// The summary's schedule line: the set days Monday to Sunday joined by ", " (all seven: daily and
// a blank), trimmed of the trailing comma and blanks, then " " + at + " " + the time; no day set:
// never.
std::string ScheduleLine(int32_t days, int32_t hour, int32_t minute, const DayNames& names,
                         const std::string& daily, const std::string& at, const std::string& never);

// What the line holds until it is filled: daily, a blank, at, a blank and "10:00 PM".
std::string ScheduleLineBeforeFill(const std::string& daily, const std::string& at);

// The summary's destination line: "(" + drive + ") " + share root + backup folder text.
std::string DestinationLine(const std::string& driveLetter, const std::string& shareRoot,
                            const std::string& backupFolderText);

// The time picker's format for the user's default locale: "h:mm tt" in the English locales,
// "HH:mm" elsewhere.
const char* PickerFormat(uint32_t localeId);

} // namespace backup
