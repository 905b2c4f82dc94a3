// The progress record's bytes, the channel's poll and read, and the progress screen's rules.
#include "backup/progress_channel.h"
#include "backup/progress_record.h"
#include "backup/progress_screen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace backup {
namespace {

TEST(ProgressRecord, ByteLayout) {
    ProgressRecord r;
    r.finished = 1;
    r.filesCompleted = 0x01020304;
    r.bytesCopied = 0x1122334455667788ull;
    r.folder = "C:\\Data";
    r.file = std::string(300, 'f');
    r.skipped = 7;
    r.state = 2;
    r.run = 9;
    unsigned char b[kProgressRecordSize];
    std::memset(b, 0xCC, sizeof b);
    EncodeProgress(r, b);
    const unsigned char head[] = {1,    0,    0,    0,    4,    3,    2,    1,
                                  0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(0, std::memcmp(head, b, sizeof head));
    EXPECT_STREQ("C:\\Data", reinterpret_cast<const char*>(b + 16));
    EXPECT_EQ(259u, std::strlen(reinterpret_cast<const char*>(b + 276)));
    EXPECT_EQ(7, b[536]);
    EXPECT_EQ(2, b[540]);
    EXPECT_EQ(9, b[544]);
    const ProgressRecord back = DecodeProgress(b);
    EXPECT_EQ(r.bytesCopied, back.bytesCopied);
    EXPECT_EQ(r.folder, back.folder);
    EXPECT_EQ(std::string(259, 'f'), back.file);
}

class FakeObjects : public ProgressObjects {
public:
    bool WaitEvent(uint32_t) override { return signalled; }
    bool LockMutex(uint32_t ms) override {
        waits.push_back(ms);
        return mutexFree;
    }
    void UnlockMutex() override { ++unlocks; }
    bool CopyView(unsigned char* out) override {
        EncodeProgress(view, out);
        return true;
    }
    bool signalled = false;
    bool mutexFree = true;
    ProgressRecord view;
    std::vector<uint32_t> waits;
    int unlocks = 0;
};

class FakeView : public ProgressView {
public:
    bool Stopping() const override { return stopping; }
    void Update(const ProgressRecord& r) override { shown.push_back(r); }
    bool stopping = false;
    std::vector<ProgressRecord> shown;
};

TEST(ProgressChannel, PollResultsAndTheMutex) {
    FakeObjects objects;
    unsigned char copy[kProgressRecordSize] = {};
    ProgressChannel channel(&objects, copy);
    FakeView view;

    objects.view.filesCompleted = 3;
    EXPECT_EQ(POLL_NO_NEWS, channel.Poll(&view, 1));
    EXPECT_TRUE(view.shown.empty());
    objects.signalled = true;
    EXPECT_EQ(POLL_NEWS, channel.Poll(&view, 1));
    ASSERT_EQ(1u, view.shown.size());
    EXPECT_EQ(3, view.shown[0].filesCompleted);
    EXPECT_EQ(std::vector<uint32_t>({1000, 1000}), objects.waits);
    EXPECT_EQ(2, objects.unlocks);

    // the engine holds the mutex: the previous copy stays and the poll reports from it
    objects.mutexFree = false;
    objects.view.filesCompleted = 4;
    objects.view.finished = 1;
    EXPECT_EQ(POLL_NEWS, channel.Poll(&view, 1));
    EXPECT_EQ(3, view.shown.back().filesCompleted);
    EXPECT_EQ(2, objects.unlocks);

    // a stopping screen is not updated; the end is still reported
    objects.mutexFree = true;
    view.stopping = true;
    EXPECT_EQ(POLL_FINISHED, channel.Poll(&view, 1));
    EXPECT_EQ(2u, view.shown.size());
    objects.signalled = false;
    EXPECT_EQ(POLL_FINISHED, channel.Poll(nullptr, 1));
}

TEST(ProgressScreen, CounterText) {
    const std::string templ = "Completed ### files.  ##### MB copied.";
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "Completed 12 files.  0 MB copied."},
        {1, "Completed 12 files.  1 MB copied."},
        {1572864, "Completed 12 files.  1 MB copied."},
        {1048576ull * 2048 - 513, "Completed 12 files.  2047 MB copied."},
        {1048576ull * 2048 - 512, "Completed 12 files.  2048 MB copied."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, CounterText(templ, 12, c.bytes)) << c.bytes;
    // "#####" goes first: the other order would leave "##" behind the file count
    EXPECT_EQ("7 MB, 3 files", CounterText("##### MB, ### files", 3, 7 * 1048576ull));
    EXPECT_EQ("To: (S:) \\\\NAS1\\anne\\My Backup",
              DestinationText("To:", "S:", "\\\\NAS1\\anne", "\\My Backup"));
}

TEST(ProgressScreen, TicksAndTheButton) {
    ProgressTicker finishedAtOnce;
    EXPECT_EQ(ProgressTicker::Action::Complete, finishedAtOnce.OnPoll(POLL_FINISHED));
    EXPECT_FALSE(finishedAtOnce.OnButton());

    ProgressTicker idle;
    for (int i = 0; i < kIdleTickLimit; ++i)
        idle.OnPoll(POLL_NO_NEWS);
    EXPECT_FALSE(idle.Done());
    idle.OnPoll(POLL_NEWS);
    EXPECT_EQ(0, idle.IdleTicks());
    for (int i = 0; i <= kIdleTickLimit; ++i)
        idle.OnPoll(POLL_NO_NEWS);
    EXPECT_TRUE(idle.Done());
    EXPECT_FALSE(idle.OnButton());

    ProgressTicker running;
    running.OnPoll(POLL_NEWS);
    EXPECT_TRUE(running.OnButton());
    EXPECT_TRUE(running.Stopping());

    ProgressTicker noTimer;
    noTimer.NoTimer();
    EXPECT_FALSE(noTimer.OnButton());
}

} // namespace
} // namespace backup
