// Worker threads that report to a screen by posted messages and may outlive it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

namespace skin {

// Something a worker hands to its screen with a message, owned by the link until taken.
struct Letter {
    virtual ~Letter() = default;
};

template <class T>
struct Parcel : Letter {
    explicit Parcel(T v) : value(std::move(v)) {}
    T value;
};

// The only way a worker reaches its screen. The screen closes the link when its window is
// destroyed; from then on posts fail, and letters still in flight are freed by the link, so a
// worker may go on running after the screen has gone without touching it.
class WorkerLink {
public:
    explicit WorkerLink(HWND window) : window_(window) {}
    ~WorkerLink();
    WorkerLink(const WorkerLink&) = delete;
    WorkerLink& operator=(const WorkerLink&) = delete;

    // PostMessage to the screen; false once the screen has gone.
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Posts message with the letter's address as lParam; the screen takes it back with Take.
    // False (and the letter freed) once the screen has gone.
    bool Deliver(UINT message, std::unique_ptr<Letter> letter, WPARAM wParam = 0);

    template <class T>
    bool DeliverValue(UINT message, T value, WPARAM wParam = 0) {
        return Deliver(message, std::make_unique<Parcel<T>>(std::move(value)), wParam);
    }

    // On the screen's thread, in the message handler: the letter that came with lParam, or null
    // when it is not one of this link's letters.
    std::unique_ptr<Letter> Take(LPARAM lParam);

    template <class T>
    std::unique_ptr<Parcel<T>> TakeValue(LPARAM lParam) {
        std::unique_ptr<Letter> l = Take(lParam);
        if (auto* p = dynamic_cast<Parcel<T>*>(l.get())) {
            l.release();
            return std::unique_ptr<Parcel<T>>(p);
        }
        return nullptr;
    }

    bool Closed();
    // Called by the screen as its window goes.
    void Close();
    // Letters posted and not yet taken (for tests).
    std::size_t Pending();

private:
    std::mutex mutex_;
    HWND window_;
    std::set<Letter*> inFlight_;
};

// Starts a thread that runs work(link). When work returns, its result is posted to the screen
// as message with wParam = the result (unless the screen has gone). The thread holds its own
// reference to the link. Returns the thread handle (the caller closes it) or null on failure.
HANDLE StartWorker(std::shared_ptr<WorkerLink> link, UINT doneMessage,
                   std::function<std::uint32_t(WorkerLink&)> work);

} // namespace skin
