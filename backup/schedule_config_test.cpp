// Tests of the schedule file: defaults, parse rules and the five lines written.
#include "backup/memory_platform.h"
#include "backup/schedule_config.h"

#include <gtest/gtest.h>

namespace backup {
namespace {

class ScheduleConfigTest : public ::testing::Test {
protected:
    std::string Path() const { return p.folder + "schedConfig.txt"; }
    void Put(const std::string& bytes) { p.files[Path()].bytes = bytes; }
    void ExpectDefaults(const ScheduleConfig& s) {
        EXPECT_FALSE(s.Loaded());
        EXPECT_TRUE(s.On());
        EXPECT_EQ(s.Hour(), 22);
        EXPECT_EQ(s.Minute(), 0);
        EXPECT_EQ(s.Days(), 127);
    }
    MemoryPlatform p;
};

TEST_F(ScheduleConfigTest, MissingShortOrBadFilesGiveTheDefaults) {
    ExpectDefaults(ScheduleConfig(&p));
    Put("of\n1");
    ExpectDefaults(ScheduleConfig(&p)); // four bytes
    for (const char* bad :
         {"On\r\n5\r\n6\r\n7\r\n", "xx\r\n5\r\n6\r\n7\r\n", "on\r\n60\r\n6\r\n7\r\n",
          "on\r\n5\r\n24\r\n7\r\n", "on\r\n5\r\n6\r\n128\r\n", "on\r\n-1\r\n6\r\n7\r\n",
          "on\r\nx\r\n6\r\n7\r\n", "on\r\n5\r\n6\r\n", "o\r\n5\r\n6\r\n7\r\n",
          "on\r\n99999999999999999999\r\n6\r\n7\r\n"}) {
        Put(bad);
        SCOPED_TRACE(bad);
        ExpectDefaults(ScheduleConfig(&p));
    }
}

TEST_F(ScheduleConfigTest, FirstLineDecidesOnOrOff) {
    Put("offline\r\n30\r\n7\r\n34\r\n\r\n");
    ScheduleConfig off(&p);
    EXPECT_TRUE(off.Loaded());
    EXPECT_FALSE(off.On());
    EXPECT_EQ(off.Minute(), 30);
    EXPECT_EQ(off.Hour(), 7);
    EXPECT_EQ(off.Days(), 34);
    Put("onward\r\n59\r\n23\r\n0");
    ScheduleConfig on(&p);
    EXPECT_TRUE(on.Loaded());
    EXPECT_TRUE(on.On());
    EXPECT_EQ(on.Minute(), 59);
    EXPECT_EQ(on.Hour(), 23);
    EXPECT_EQ(on.Days(), 0);
}

TEST_F(ScheduleConfigTest, SaveWritesFiveLinesAndReadsBack) {
    ScheduleConfig s(&p);
    EXPECT_TRUE(s.Save());
    EXPECT_EQ(p.Content(Path()), "on\r\n0\r\n22\r\n127\r\n\r\n");
    s.SetTime(7, 5);
    s.SetDays(34);
    EXPECT_TRUE(s.SetOn(false));
    EXPECT_EQ(p.Content(Path()), "off\r\n5\r\n7\r\n34\r\n\r\n");
    ScheduleConfig back(&p);
    EXPECT_TRUE(back.Loaded());
    EXPECT_FALSE(back.On());
    EXPECT_EQ(back.Days(), 34);
    p.failWriteAfter = 6;
    EXPECT_FALSE(s.SetOn(true));
    EXPECT_EQ(p.Content(Path()), "off\r\n5\r\n7\r\n34\r\n\r\n");
}

} // namespace
} // namespace backup
