// The backup wizard's texts and choices that need no window: the schedule line, the destination
// line, the time picker's format and the day boxes.
#include "backup/wizard_texts.h"

#include <cstdio>

namespace backup {

namespace {

// The English locales: United States, United Kingdom, Australia, Canada, New Zealand, Ireland,
// South Africa, Jamaica, Caribbean, Belize, Trinidad, Zimbabwe, Philippines.
constexpr uint32_t kEnglishLocales[] = {1033, 2057, 3081,  4105,  5129,  6153, 7177,
                                        8201, 9225, 10249, 11273, 12297, 13321};

bool IsTrimmed(char c) { return c == ',' || c == ' '; }

} // namespace

int32_t DayBit(int mondayFirstIndex) {
    // bit 0 is Sunday, bit 1 Monday
    return 1 << ((mondayFirstIndex + 1) % 7);
}

std::string TwelveHourTime(int32_t hour, int32_t minute) {
    int h = static_cast<int>(hour % 12);
    if (h == 0)
        h = 12;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d %s", h, static_cast<int>(minute),
                  hour < 12 ? "AM" : "PM");
    return text;
}

std::string ScheduleLine(int32_t days, int32_t hour, int32_t minute, const DayNames& names,
                         const std::string& daily, const std::string& at,
                         const std::string& never) {
    if ((days & 0x7F) == 0)
        return never;
    std::string line;
    if ((days & 0x7F) == 0x7F) {
        line = daily + " ";
    } else {
        for (int i = 0; i < 7; ++i) {
            if (days & DayBit(i))
                line += names.names[i] + ", ";
        }
    }
    while (!line.empty() && IsTrimmed(line.back()))
        line.pop_back();
    return line + " " + at + " " + TwelveHourTime(hour, minute);
}

std::string ScheduleLineBeforeFill(const std::string& daily, const std::string& at) {
    return daily + " " + at + " 10:00 PM";
}

std::string DestinationLine(const std::string& driveLetter, const std::string& shareRoot,
                            const std::string& backupFolderText) {
    return "(" + driveLetter + ") " + shareRoot + backupFolderText;
}

const char* PickerFormat(uint32_t localeId) {
    for (uint32_t id : kEnglishLocales) {
        if (id == localeId)
            return "h:mm tt";
    }
    return "HH:mm";
}

} // namespace backup
