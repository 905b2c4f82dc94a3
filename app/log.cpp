// The diagnostic log file: mask, path and one open-append-close per entry.
#include "app/log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::atomic<uint32_t> g_mask{0};
std::atomic<LogClock> g_clock{nullptr};

// Guards the path and keeps each entry whole when threads log at the same moment; also covers
// localtime's shared buffer where the C library has no reentrant form.
std::mutex& LogLock() {
    static std::mutex lock;
    return lock;
}

std::string& LogPath() {
    static std::string path;
    return path;
}

bool LocalTime(std::time_t now, std::tm* out) {
#if defined(_WIN32)
    // The C library of Windows XP has no localtime_s; its localtime buffer is per thread.
    const std::tm* t = std::localtime(&now);
    if (!t)
        return false;
    *out = *t;
    return true;
#else
    return localtime_r(&now, out) != nullptr;
#endif
}

} // namespace

void FormatLogTime(const std::tm& time, char (&out)[32]) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = time.tm_wday >= 0 && time.tm_wday < 7 ? kDays[time.tm_wday] : "???";
    const char* month = time.tm_mon >= 0 && time.tm_mon < 12 ? kMonths[time.tm_mon] : "???";
    std::snprintf(out, sizeof out, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", day, month, time.tm_mday,
                  time.tm_hour, time.tm_min, time.tm_sec, 1900 + time.tm_year);
}

void SetLogClock(LogClock clock) { g_clock = clock; }

void InitLog(uint32_t mask, const char* path) {
    std::lock_guard<std::mutex> hold(LogLock());
    g_mask = mask;
    LogPath() = path ? path : "";
    if (mask != 0 && !LogPath().empty()) {
        // "w" creates the file or cuts it to zero length; nothing is held open.
        if (std::FILE* f = std::fopen(LogPath().c_str(), "w"))
            std::fclose(f);
    }
}

void WriteLog(uint32_t category, const char* format, ...) {
    if ((category & g_mask) == 0 || !format)
        return;

    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::vector<char> text(needed > 0 ? needed + 1 : 1, '\0');
    if (needed > 0)
        std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);

    std::lock_guard<std::mutex> hold(LogLock());
    LogClock clock = g_clock;
    const std::time_t now = clock ? clock() : std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (LocalTime(now, &local))
        FormatLogTime(local, stamp);

    // One write per entry, so another process appending to the same file cannot split it.
    std::string entry;
    char head[40];
    std::snprintf(head, sizeof head, "%.19s>  ", stamp);
    entry += head;
    entry.append(text.data(), needed > 0 ? static_cast<size_t>(needed) : 0);
    entry += '\n';

    // Text mode: the line feed lands as CR LF on Windows.
    std::FILE* f = std::fopen(LogPath().c_str(), "a");
    if (!f)
        return; // no right to write there, or the disk is full: go on as if it had been written
    std::fwrite(entry.data(), 1, entry.size(), f);
    std::fclose(f);
}
