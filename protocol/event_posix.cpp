// The channel's auto-reset event for POSIX builds: a flag under a mutex and a condition.
#include "protocol/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

struct ChannelEvent {
    std::mutex lock;
    std::condition_variable changed;
    bool signalled = false;
};

ChannelEvent* EventCreate(const char*) { return new (std::nothrow) ChannelEvent; }

void EventSignal(ChannelEvent* event) {
    {
        std::lock_guard<std::mutex> hold(event->lock);
        event->signalled = true;
    }
    event->changed.notify_one();
}

bool EventWait(ChannelEvent* event, uint32_t milliseconds) {
    std::unique_lock<std::mutex> hold(event->lock);
    bool got = event->changed.wait_for(hold, std::chrono::milliseconds(milliseconds),
                                       [event] { return event->signalled; });
    if (got)
        event->signalled = false;
    return got;
}

void EventClose(ChannelEvent* event) { delete event; }
