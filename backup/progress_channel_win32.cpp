// The progress channel's named objects on Windows, and the process's one channel.
#include "backup/progress_channel.h"

#include <windows.h>

#include <cstring>

namespace backup {

namespace {

// The mapping, event and mutex, created or else opened; any of them may be missing.
class NamedProgressObjects : public ProgressObjects {
public:
    NamedProgressObjects() {
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      kProgressRecordSize, kProgressMappingName);
        if (mapping_)
            view_ = MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, kProgressRecordSize);
        event_ = CreateEventA(nullptr, FALSE, FALSE, kProgressEventName);
        if (!event_)
            event_ = OpenEventA(EVENT_ALL_ACCESS, FALSE, kProgressEventName);
        mutex_ = CreateMutexA(nullptr, FALSE, kProgressMutexName);
        if (!mutex_)
            mutex_ = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kProgressMutexName);
    }
    ~NamedProgressObjects() override {
        if (view_)
            UnmapViewOfFile(view_);
        for (HANDLE h : {mapping_, event_, mutex_}) {
            if (h)
                CloseHandle(h);
        }
    }

    bool WaitEvent(uint32_t ms) override {
        return event_ && WaitForSingleObject(event_, ms) == WAIT_OBJECT_0;
    }
    bool LockMutex(uint32_t ms) override {
        if (!mutex_)
            return false;
        const DWORD r = WaitForSingleObject(mutex_, ms);
        return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    }
    void UnlockMutex() override { ReleaseMutex(mutex_); }
    bool CopyView(unsigned char* out) override {
        if (!view_)
            return false;
        std::memcpy(out, view_, kProgressRecordSize);
        return true;
    }

private:
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    HANDLE event_ = nullptr;
    HANDLE mutex_ = nullptr;
};

unsigned char g_copy[kProgressRecordSize];

} // namespace

ProgressChannel& ProcessProgressChannel() {
    // made on the first poll, closed when the process ends
    static NamedProgressObjects objects;
    static ProgressChannel channel(&objects, g_copy);
    return channel;
}

} // namespace backup
