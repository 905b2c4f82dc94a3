// Posts each appliance a scan finds to a window as WM_APPLIANCE_FOUND with a copy it owns.
#include "protocol/found_sink_win32.h"

#include <new>

bool FoundMessageSink::Post(const ApplianceRecord& record) {
    ApplianceRecord* copy = new (std::nothrow) ApplianceRecord(record);
    if (!copy)
        return false;
    if (!PostMessageA(window, WM_APPLIANCE_FOUND, 0, reinterpret_cast<LPARAM>(copy))) {
        // Nobody will receive it: the window is gone or its queue is full.
        delete copy;
        return false;
    }
    return true;
}

std::unique_ptr<ApplianceRecord> TakeFoundRecord(LPARAM lParam) {
    return std::unique_ptr<ApplianceRecord>(reinterpret_cast<ApplianceRecord*>(lParam));
}
