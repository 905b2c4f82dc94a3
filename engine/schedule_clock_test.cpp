// Schedule arithmetic: due times, missed runs across midnight and the week's end, the memory file.
#include "engine/schedule_clock.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

int64_t At(int y, int mo, int d, int h, int mi) { return MinuteOf({y, mo, d, h, mi}); }

TEST(ScheduleClock, CalendarRoundTripAndWeekdays) {
    // 23 March 2005 was a Wednesday, 1 January 2000 a Saturday, 29 February 2004 a Sunday
    EXPECT_EQ(3, WeekdayOf(At(2005, 3, 23, 22, 0)));
    EXPECT_EQ(6, WeekdayOf(At(2000, 1, 1, 0, 0)));
    EXPECT_EQ(0, WeekdayOf(At(2004, 2, 29, 23, 59)));
    const LocalTime t = TimeOf(At(2004, 2, 29, 23, 59) + 1);
    EXPECT_EQ(2004, t.year);
    EXPECT_EQ(3, t.month);
    EXPECT_EQ(1, t.day);
    EXPECT_EQ(0, t.hour);
    EXPECT_EQ("03012004", StateDate(t));
}

TEST(ScheduleClock, LastAndNextScheduledTimes) {
    const Schedule mondayFriday{true, 34, 22, 0};
    const struct {
        int64_t now;
        int64_t last;
        int64_t next;
    } cases[] = {
        // Wednesday noon: last Monday 22:00, next Friday 22:00
        {At(2005, 3, 23, 12, 0), At(2005, 3, 21, 22, 0), At(2005, 3, 25, 22, 0)},
        // exactly at the time: it is the last one, the next is a week day later
        {At(2005, 3, 25, 22, 0), At(2005, 3, 25, 22, 0), At(2005, 3, 28, 22, 0)},
        // Sunday: the week wraps to Monday
        {At(2005, 3, 27, 8, 0), At(2005, 3, 25, 22, 0), At(2005, 3, 28, 22, 0)},
    };
    for (const auto& c : cases) {
        int64_t last = 0, next = 0;
        ASSERT_TRUE(LastScheduled(mondayFriday, c.now, &last));
        ASSERT_TRUE(NextScheduled(mondayFriday, c.now, &next));
        EXPECT_EQ(FormatMinute(c.last), FormatMinute(last));
        EXPECT_EQ(FormatMinute(c.next), FormatMinute(next));
    }
    int64_t out = 0;
    EXPECT_FALSE(LastScheduled({true, 0, 22, 0}, At(2005, 3, 23, 12, 0), &out));
    EXPECT_FALSE(NextScheduled({false, 127, 22, 0}, At(2005, 3, 23, 12, 0), &out));
}

TEST(ScheduleClock, MissedRuns) {
    const Schedule daily{true, 127, 23, 30};
    const Schedule saturday{true, 64, 23, 30};
    const struct {
        Schedule schedule;
        EngineMemory memory;
        bool remembered;
        int64_t now;
        bool missed;
        int64_t at;
    } cases[] = {
        // off at 23:00, on again after midnight: yesterday's 23:30 was missed
        {daily,
         {At(2005, 3, 22, 23, 30), -1},
         true,
         At(2005, 3, 24, 0, 10),
         true,
         At(2005, 3, 23, 23, 30)},
        // it ran then
        {daily, {At(2005, 3, 23, 23, 30), -1}, true, At(2005, 3, 24, 0, 10), false, 0},
        // already offered once
        {daily,
         {At(2005, 3, 22, 23, 30), At(2005, 3, 23, 23, 30)},
         true,
         At(2005, 3, 24, 0, 10),
         false,
         0},
        // Saturday's run missed, seen on Monday across the week's end
        {saturday,
         {At(2005, 3, 19, 23, 31), -1},
         true,
         At(2005, 3, 28, 9, 0),
         true,
         At(2005, 3, 26, 23, 30)},
        // a first start remembers nothing and offers nothing
        {daily, {}, false, At(2005, 3, 24, 0, 10), false, 0},
        {{false, 127, 23, 30}, {At(2005, 3, 1, 0, 0), -1}, true, At(2005, 3, 24, 0, 10), false, 0},
    };
    for (const auto& c : cases) {
        int64_t at = 0;
        EXPECT_EQ(c.missed, MissedRun(c.schedule, c.memory, c.remembered, c.now, &at))
            << FormatMinute(c.now);
        if (c.missed) {
            EXPECT_EQ(FormatMinute(c.at), FormatMinute(at));
        }
    }
}

TEST(ScheduleClock, MemoryFile) {
    const EngineMemory m{At(2005, 3, 23, 22, 0), At(2005, 3, 21, 22, 5)};
    const std::string text = FormatMemory(m);
    EXPECT_EQ("lastRun\t200503232200\r\nlastOffered\t200503212205\r\n", text);
    const EngineMemory back = ParseMemory(text);
    EXPECT_EQ(m.lastRun, back.lastRun);
    EXPECT_EQ(m.lastOffered, back.lastOffered);
    const EngineMemory bad = ParseMemory("lastRun\t200513232200\nlastOffered 200503212205\n");
    EXPECT_EQ(-1, bad.lastRun);
    EXPECT_EQ(-1, bad.lastOffered);
}

} // namespace
} // namespace engine
