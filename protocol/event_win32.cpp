// The channel's auto-reset event as a Windows kernel event.
#include "protocol/event.h"

#include <windows.h>

ChannelEvent* EventCreate(const char* name) {
    return reinterpret_cast<ChannelEvent*>(CreateEventA(nullptr, FALSE, FALSE, name));
}

void EventSignal(ChannelEvent* event) { SetEvent(reinterpret_cast<HANDLE>(event)); }

bool EventWait(ChannelEvent* event, uint32_t milliseconds) {
    return WaitForSingleObject(reinterpret_cast<HANDLE>(event), milliseconds) == WAIT_OBJECT_0;
}

void EventClose(ChannelEvent* event) { CloseHandle(reinterpret_cast<HANDLE>(event)); }
