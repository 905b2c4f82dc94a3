// The backup schedule "schedConfig.txt": on or off, the time of day and the days of the week.
#include "backup/schedule_config.h"

#include <string>

namespace backup {

ScheduleConfig::ScheduleConfig(Platform* platform) : AppDataFile(platform) {
    UseDefaultName();
    Read();
    ReleaseBuffer();
}

bool ScheduleConfig::UseDefaultName() { return SetName(kScheduleName); }

bool ScheduleConfig::ReadNumber(int32_t low, int32_t high, int32_t* out) {
    std::string line;
    if (!NextLine() || !ReadLine(&line))
        return false;
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    if (i >= line.size() || line[i] < '0' || line[i] > '9')
        return false;
    int64_t v = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9' && v <= high)
        v = v * 10 + (line[i++] - '0');
    if (negative)
        v = -v;
    if (v < low || v > high)
        return false;
    *out = static_cast<int32_t>(v);
    return true;
}

bool ScheduleConfig::Parse() {
    std::string first;
    cursor_ = 0;
    if (!ReadLine(&first) || first.size() < 2 || first[0] != 'o' ||
        (first[1] != 'n' && first[1] != 'f'))
        return false;
    int32_t minute, hour, days;
    if (!ReadNumber(0, 59, &minute) || !ReadNumber(0, 23, &hour) || !ReadNumber(0, 127, &days))
        return false;
    on_ = first[1] == 'n';
    minute_ = minute;
    hour_ = hour;
    days_ = days;
    loaded_ = true;
    return true;
}

bool ScheduleConfig::WriteContents(WriteHandle& handle) {
    return WriteLine(handle, on_ ? "on" : "off") && WriteLine(handle, std::to_string(minute_)) &&
           WriteLine(handle, std::to_string(hour_)) && WriteLine(handle, std::to_string(days_)) &&
           WriteLine(handle, "");
}

bool ScheduleConfig::SetOn(bool on) {
    on_ = on;
    return Save(kAttrNormal, kCreateAlways, false);
}

} // namespace backup
