// Schedule arithmetic in local minutes.
#include "engine/schedule_clock.h"

#include <cstdio>

namespace engine {

namespace {

constexpr int64_t kDay = 24 * 60;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, LocalTime* t) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    t->day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t->month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t->year = static_cast<int>(yoe + era * 400 + (t->month <= 2));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool Usable(const Schedule& s) {
    return s.on && (s.days & 127) != 0 && s.hour >= 0 && s.hour < 24 && s.minute >= 0 &&
           s.minute < 60;
}

} // namespace

int64_t MinuteOf(const LocalTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * kDay + t.hour * 60 + t.minute;
}

LocalTime TimeOf(int64_t minute) {
    LocalTime t;
    const int64_t day = FloorDiv(minute, kDay);
    CivilFromDays(day, &t);
    const int64_t inDay = minute - day * kDay;
    t.hour = static_cast<int>(inDay / 60);
    t.minute = static_cast<int>(inDay % 60);
    return t;
}

int WeekdayOf(int64_t minute) {
    // 1 January 1970 was a Thursday
    return static_cast<int>((FloorDiv(minute, kDay) % 7 + 7 + 4) % 7);
}

bool LastScheduled(const Schedule& s, int64_t now, int64_t* out) {
    if (!Usable(s))
        return false;
    const int64_t today = FloorDiv(now, kDay) * kDay;
    for (int back = 0; back <= 7; ++back) {
        const int64_t at = today - back * kDay + s.hour * 60 + s.minute;
        if (at <= now && (s.days >> WeekdayOf(at) & 1)) {
            *out = at;
            return true;
        }
    }
    return false;
}

bool NextScheduled(const Schedule& s, int64_t now, int64_t* out) {
    if (!Usable(s))
        return false;
    const int64_t today = FloorDiv(now, kDay) * kDay;
    for (int ahead = 0; ahead <= 7; ++ahead) {
        const int64_t at = today + ahead * kDay + s.hour * 60 + s.minute;
        if (at > now && (s.days >> WeekdayOf(at) & 1)) {
            *out = at;
            return true;
        }
    }
    return false;
}

bool MissedRun(const Schedule& s, const EngineMemory& memory, bool remembered, int64_t now,
               int64_t* missed) {
    int64_t at = 0;
    if (!remembered || !LastScheduled(s, now, &at))
        return false;
    if (memory.lastRun >= at || memory.lastOffered >= at)
        return false;
    *missed = at;
    return true;
}

std::string FormatMinute(int64_t minute) {
    const LocalTime t = TimeOf(minute);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return text;
}

bool ParseMinute(const std::string& text, int64_t* out) {
    if (text.size() != 12)
        return false;
    int v[5] = {};
    const int widths[5] = {4, 2, 2, 2, 2};
    size_t at = 0;
    for (int f = 0; f < 5; ++f) {
        for (int i = 0; i < widths[f]; ++i, ++at) {
            if (text[at] < '0' || text[at] > '9')
                return false;
            v[f] = v[f] * 10 + (text[at] - '0');
        }
    }
    if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31 || v[3] > 23 || v[4] > 59)
        return false;
    LocalTime t{v[0], v[1], v[2], v[3], v[4]};
    *out = MinuteOf(t);
    return true;
}

std::string FormatMemory(const EngineMemory& m) {
    std::string out;
    if (m.lastRun >= 0)
        out += "lastRun\t" + FormatMinute(m.lastRun) + "\r\n";
    if (m.lastOffered >= 0)
        out += "lastOffered\t" + FormatMinute(m.lastOffered) + "\r\n";
    return out;
}

EngineMemory ParseMemory(const std::string& text) {
    EngineMemory m;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        start = end + 1;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        int64_t minute = 0;
        if (!ParseMinute(line.substr(tab + 1), &minute))
            continue;
        const std::string key = line.substr(0, tab);
        if (key == "lastRun")
            m.lastRun = minute;
        else if (key == "lastOffered")
            m.lastOffered = minute;
    }
    return m;
}

std::string StateDate(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%04d", t.month % 100, t.day % 100, t.year % 10000);
    return text;
}

} // namespace engine
