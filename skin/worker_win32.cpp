// Worker threads and their link to a screen.
#include "skin/worker_win32.h"

#include <process.h>

namespace skin {

WorkerLink::~WorkerLink() {
    for (Letter* l : inFlight_) {
        delete l;
    }
}

bool WorkerLink::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::mutex> lock(mutex_);
    return window_ && PostMessageA(window_, message, wParam, lParam);
}

bool WorkerLink::Deliver(UINT message, std::unique_ptr<Letter> letter, WPARAM wParam) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!window_) {
        return false;
    }
    Letter* raw = letter.get();
    inFlight_.insert(raw);
    if (!PostMessageA(window_, message, wParam, reinterpret_cast<LPARAM>(raw))) {
        inFlight_.erase(raw);
        return false;
    }
    letter.release();
    return true;
}

std::unique_ptr<Letter> WorkerLink::Take(LPARAM lParam) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = inFlight_.find(reinterpret_cast<Letter*>(lParam));
    if (it == inFlight_.end()) {
        return nullptr;
    }
    std::unique_ptr<Letter> l(*it);
    inFlight_.erase(it);
    return l;
}

bool WorkerLink::Closed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return window_ == nullptr;
}

void WorkerLink::Close() {
    std::set<Letter*> orphans;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        window_ = nullptr;
        orphans.swap(inFlight_);
    }
    // their messages die with the window
    for (Letter* l : orphans) {
        delete l;
    }
}

std::size_t WorkerLink::Pending() {
    std::lock_guard<std::mutex> lock(mutex_);
    return inFlight_.size();
}

namespace {

struct WorkerStart {
    std::shared_ptr<WorkerLink> link;
    UINT doneMessage;
    std::function<std::uint32_t(WorkerLink&)> work;
};

unsigned __stdcall WorkerMain(void* arg) {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(arg));
    const std::uint32_t result = start->work(*start->link);
    if (start->doneMessage) {
        start->link->Post(start->doneMessage, result, 0);
    }
    return 0;
}

} // namespace

HANDLE StartWorker(std::shared_ptr<WorkerLink> link, UINT doneMessage,
                   std::function<std::uint32_t(WorkerLink&)> work) {
    auto* start = new WorkerStart{std::move(link), doneMessage, std::move(work)};
    // _beginthreadex, not CreateThread: the worker uses the C runtime
    uintptr_t h = _beginthreadex(nullptr, 0, WorkerMain, start, 0, nullptr);
    if (!h) {
        delete start;
        return nullptr;
    }
    return reinterpret_cast<HANDLE>(h);
}

} // namespace skin
