// The backup schedule "schedConfig.txt": on or off, the time of day and the days of the week.
#pragma once

#include "backup/app_data_file.h"

#include <cstdint>

namespace backup {

constexpr const char* kScheduleName = "schedConfig.txt";

class ScheduleConfig : public AppDataFile {
public:
    // Days: bit 0 Sunday to bit 6 Saturday.
    static constexpr int32_t kEveryDay = 127;

    explicit ScheduleConfig(Platform* platform = nullptr);

    bool UseDefaultName() override;
    bool Parse() override;
    bool WriteContents(WriteHandle& handle) override;
    bool AcceptSize(uint32_t size) override { return size >= 5; }

    bool SetOn(bool on);
    void SetTime(int32_t hour, int32_t minute) {
        hour_ = hour;
        minute_ = minute;
    }
    void SetDays(int32_t days) { days_ = days; }

    bool On() const { return on_; }
    bool Loaded() const { return loaded_; }
    int32_t Minute() const { return minute_; }
    int32_t Hour() const { return hour_; }
    int32_t Days() const { return days_; }

private:
    bool ReadNumber(int32_t low, int32_t high, int32_t* out);

    bool on_ = true;
    bool loaded_ = false;
    int32_t minute_ = 0;
    int32_t hour_ = 22;
    int32_t days_ = kEveryDay;
};

} // namespace backup
