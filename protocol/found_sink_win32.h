// The Windows side of discovery's "found" notification: each new appliance posted to a window.
#pragma once

#include "protocol/channel.h"

#include <windows.h>

#include <memory>

// Posted for every appliance a scan finds: wParam 0, lParam a heap copy of its record that the
// receiving window owns (take it with TakeFoundRecord).
constexpr UINT WM_APPLIANCE_FOUND = WM_USER + 100;

class FoundMessageSink : public ApplianceSink {
public:
    explicit FoundMessageSink(HWND window) : window(window) {}

    // Called on the scan or listener thread; a copy that cannot be posted is freed here.
    void ApplianceFound(const ApplianceRecord& record) override { Post(record); }
    // True when the message was posted (the receiver then owns the copy).
    bool Post(const ApplianceRecord& record);

    HWND Window() const { return window; }

private:
    HWND window;
};

// The receiver's half: takes ownership of the record a WM_APPLIANCE_FOUND message carries.
std::unique_ptr<ApplianceRecord> TakeFoundRecord(LPARAM lParam);
