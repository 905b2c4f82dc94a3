// Tests of the log file: entry format, emptying at start, categories, threads, unwritable files.
#include "app/log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

#if defined(_WIN32)
const std::string EOL = "\r\n";
#else
const std::string EOL = "\n";
#endif

// Mon Dec  7 04:12:05 2026 in UTC.
std::time_t FixedClock() { return 1796616725; }

class LogFile : public ::testing::Test {
protected:
    void SetUp() override {
#if defined(_WIN32)
        _putenv("TZ=UTC0");
        _tzset();
#else
        setenv("TZ", "UTC0", 1);
        tzset();
#endif
        path_ = std::string("tov_log_test_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
        std::remove(path_.c_str());
        SetLogClock(FixedClock);
    }
    void TearDown() override {
        InitLog(0, "");
        SetLogClock(nullptr);
        std::remove(path_.c_str());
    }
    std::string Read() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Write(const std::string& text) const {
        std::ofstream out(path_, std::ios::binary);
        out << text;
    }
    bool Exists() const { return std::ifstream(path_).good(); }
    std::string path_;
};

TEST_F(LogFile, EntryIsTimeOfDayThenTextAsPrintfMakesIt) {
    InitLog(0xFFFF, path_.c_str());
    WriteLog(LOG_DETAIL, "Read Language Value -->%s<--", "German  ");
    WriteLog(LOG_ERROR, "--- ERROR: Failed to launch: <%s> ", "C:\\x y\\tovsort.exe");
    WriteLog(LOG_TRACE, "%d%% %5.2f|%-4s|%c %x", 42, 3.14159, "ab", 'Z', 255u);
    WriteLog(LOG_TRACE, "no arguments %%s");
    EXPECT_EQ(Read(),
              "Mon Dec  7 04:12:05>  Read Language Value -->German  <--" + EOL +
                  "Mon Dec  7 04:12:05>  --- ERROR: Failed to launch: <C:\\x y\\tovsort.exe> " +
                  EOL + "Mon Dec  7 04:12:05>  42% " + " 3.14|ab  |Z ff" + EOL +
                  "Mon Dec  7 04:12:05>  no arguments %s" + EOL);
}

TEST_F(LogFile, SeparatorLeavesTheStampAloneThenAnEmptyLine) {
    InitLog(0xFFFF, path_.c_str());
    WriteLog(LOG_TRACE, "\n\n---------------------------------------------------------------");
    WriteLog(LOG_TRACE, "Starting TOV Appliction");
    EXPECT_EQ(Read(), "Mon Dec  7 04:12:05>  " + EOL + EOL + std::string(63, '-') + EOL +
                          "Mon Dec  7 04:12:05>  Starting TOV Appliction" + EOL);
}

TEST_F(LogFile, TimeIsFixedWidthWithBlankPaddedDay) {
    std::tm t{};
    t.tm_year = 2027 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 31;
    t.tm_wday = 0;
    t.tm_hour = 23;
    t.tm_min = 9;
    t.tm_sec = 0;
    char text[32];
    FormatLogTime(t, text);
    EXPECT_STREQ(text, "Sun Jan 31 23:09:00 2027");
    t.tm_mday = 1;
    t.tm_mon = 11;
    t.tm_wday = 6;
    t.tm_hour = 0;
    FormatLogTime(t, text);
    EXPECT_STREQ(text, "Sat Dec  1 00:09:00 2027");
}

TEST_F(LogFile, StartingWithAMaskEmptiesTheFileWithoutItLeavesItAlone) {
    Write("old entry\r\n");
    InitLog(0, path_.c_str());
    WriteLog(LOG_TRACE, "not written");
    WriteLog(LOG_ERROR, "not written");
    EXPECT_EQ(Read(), "old entry\r\n");

    InitLog(0xFFFF, path_.c_str());
    EXPECT_TRUE(Exists());
    EXPECT_EQ(Read(), "");

    std::remove(path_.c_str());
    InitLog(0, path_.c_str());
    WriteLog(LOG_TRACE, "not written");
    EXPECT_FALSE(Exists());
}

TEST_F(LogFile, WrittenOnlyWhenCategoryAndMaskShareABit) {
    InitLog(LOG_ERROR, path_.c_str());
    WriteLog(LOG_DETAIL, "detail");
    WriteLog(LOG_ERROR, "error");
    WriteLog(LOG_TRACE, "trace");
    WriteLog(0, "nothing");
    EXPECT_EQ(Read(), "Mon Dec  7 04:12:05>  error" + EOL + "Mon Dec  7 04:12:05>  trace" + EOL);
}

TEST_F(LogFile, LongTextIsWrittenWhole) {
    InitLog(0xFFFF, path_.c_str());
    const std::string big(20000, 'q');
    WriteLog(LOG_DETAIL, "<%s>", big.c_str());
    EXPECT_EQ(Read(), "Mon Dec  7 04:12:05>  <" + big + ">" + EOL);
}

TEST_F(LogFile, UnwritableFileIsSkippedSilently) {
    const std::string bad = "no_such_folder_for_the_log/sub/x.log";
    InitLog(0xFFFF, bad.c_str());
    WriteLog(LOG_TRACE, "lost %s", "entry");
    EXPECT_FALSE(std::ifstream(bad).good());
    // the next start with a good path works again
    InitLog(0xFFFF, path_.c_str());
    WriteLog(LOG_TRACE, "kept");
    EXPECT_EQ(Read(), "Mon Dec  7 04:12:05>  kept" + EOL);
}

TEST_F(LogFile, EntriesFromThreadsStayWhole) {
    InitLog(0xFFFF, path_.c_str());
    constexpr int kThreads = 4;
    constexpr int kEntries = 150;
    const std::string padding(300, '.');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &padding] {
            for (int i = 0; i < kEntries; ++i)
                WriteLog(LOG_TRACE, "thread %d entry %d %s|", t, i, padding.c_str());
        });
    }
    for (auto& thread : threads)
        thread.join();

    std::istringstream in(Read());
    std::string line;
    std::vector<int> next(kThreads, 0);
    int count = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        int t = -1;
        int i = -1;
        ASSERT_EQ(line.rfind("Mon Dec  7 04:12:05>  thread ", 0), 0u) << line;
        ASSERT_EQ(std::sscanf(line.c_str() + 29, "%d entry %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        // each thread's entries arrive whole and in its own order
        EXPECT_EQ(i, next[t]++);
        std::ostringstream expected;
        expected << "Mon Dec  7 04:12:05>  thread " << t << " entry " << i << ' ' << padding << '|';
        EXPECT_EQ(line, expected.str());
        ++count;
    }
    EXPECT_EQ(count, kThreads * kEntries);
}

} // namespace
