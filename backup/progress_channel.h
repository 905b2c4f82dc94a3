// The client side of the engine's progress channel: the record copied under the engine's mutex,
// and the poll that tells news, no news and the end of the run apart.
#pragma once

#include "backup/progress_record.h"

#include <cstdint>

namespace backup {

// The three named objects as the channel uses them.
class ProgressObjects {
public:
    virtual ~ProgressObjects() = default;
    // True when the event was set within ms.
    virtual bool WaitEvent(uint32_t ms) = 0;
    // True when the mutex is owned within ms; an abandoned mutex counts as owned.
    virtual bool LockMutex(uint32_t ms) = 0;
    virtual void UnlockMutex() = 0;
    // The record as the view holds it; false when there is no view.
    virtual bool CopyView(unsigned char* out) = 0;
};

// What a poll updates: the progress screen.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual bool Stopping() const = 0;
    virtual void Update(const ProgressRecord& record) = 0;
};

enum PollResult { POLL_FINISHED = 1, POLL_NEWS = 0, POLL_NO_NEWS = -1 };

constexpr uint32_t kMutexWaitMs = 1000;

class ProgressChannel {
public:
    // copy: the kProgressRecordSize bytes of the last record read, kept across reads.
    ProgressChannel(ProgressObjects* objects, unsigned char* copy)
        : objects_(objects), copy_(copy) {}

    // Copies the record under the mutex; false, and the copy as it was, when the mutex cannot
    // be had within a second.
    bool Read();
    // Waits up to wait ms for news; with news, updates the view unless it is stopping.
    int Poll(ProgressView* view, uint32_t wait);

    ProgressRecord Last() const { return DecodeProgress(copy_); }
    bool Finished() const { return Last().finished != 0; }

private:
    ProgressObjects* objects_;
    unsigned char* copy_;
};

// The process's one channel over the named objects, made on first use (Windows only).
ProgressChannel& ProcessProgressChannel();

} // namespace backup
