// Fuzz target: any bytes as the schedule file; what loads is in range and saves back the same.
#include "backup/memory_platform.h"
#include "backup/schedule_config.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    backup::MemoryPlatform p;
    const std::string path = p.folder + backup::kScheduleName;
    p.files[path].bytes.assign(reinterpret_cast<const char*>(data), size);
    backup::ScheduleConfig s(&p);
    if (s.Minute() < 0 || s.Minute() > 59 || s.Hour() < 0 || s.Hour() > 23 || s.Days() < 0 ||
        s.Days() > 127)
        std::abort();
    if (!s.Save())
        std::abort();
    backup::ScheduleConfig back(&p);
    if (!back.Loaded() || back.On() != s.On() || back.Minute() != s.Minute() ||
        back.Hour() != s.Hour() || back.Days() != s.Days())
        std::abort();
    return 0;
}
