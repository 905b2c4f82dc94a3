// The progress screen's rules apart from its window: the counter line, and what each timer tick
// and the button do.
#pragma once

#include <cstdint>
#include <string>

namespace backup {

constexpr unsigned kProgressTimerId = 11188;
constexpr unsigned kProgressTimerMs = 250;
// One hour of ticks without news, after which the screen stops watching.
constexpr int kIdleTickLimit = 14400;

// Megabytes as the counter shows them: rounded to the kilobyte, then truncated, and at least 1
// when anything was copied.
uint64_t ShownMegabytes(uint64_t bytes);

// The counter template with "#####" replaced by the megabytes, then "###" by the files.
std::string CounterText(const std::string& templ, int32_t files, uint64_t bytes);

// "To:" + " (" + drive + ") " + share root + backup folder.
std::string DestinationText(const std::string& to, const std::string& drive,
                            const std::string& shareRoot, const std::string& backupFolder);

class ProgressTicker {
public:
    enum class Action { None, Complete };

    // done at once when the screen got no timer.
    void NoTimer() { done_ = true; }
    // A tick's poll result (1 finished, 0 news, -1 no news).
    Action OnPoll(int result);
    // The Stop/OK button: true when "cancel" is to be sent.
    bool OnButton();

    bool Stopping() const { return stopping_; }
    bool Done() const { return done_; }
    int IdleTicks() const { return idle_; }

private:
    bool stopping_ = false;
    bool done_ = false;
    int idle_ = 0;
};

} // namespace backup
