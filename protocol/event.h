// An auto-reset event that a listener thread signals and a waiting thread waits on.
#pragma once

#include <cstdint>

struct ChannelEvent;

// An auto-reset, not signalled event; on Windows a named kernel event that every user of the name
// shares. Null when it cannot be created.
ChannelEvent* EventCreate(const char* name);
void EventSignal(ChannelEvent* event);
// True when the event was signalled within the time-out; the signal is then consumed.
bool EventWait(ChannelEvent* event, uint32_t milliseconds);
void EventClose(ChannelEvent* event);
