// For the discovery lab tests on Windows: another user of the shared "DONE_BC" event signalling
// it over and over, as a second scan in this or another process would.
#include <windows.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<bool> running(false);
std::thread signaller;

} // namespace

bool StartForeignDoneSignals() {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, "DONE_BC");
    if (!event)
        return false;
    running = true;
    signaller = std::thread([event] {
        while (running) {
            SetEvent(event);
            Sleep(20);
        }
        CloseHandle(event);
    });
    return true;
}

void StopForeignDoneSignals() {
    running = false;
    if (signaller.joinable())
        signaller.join();
}
