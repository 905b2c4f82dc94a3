// Workers and their link to a screen: letters, results, and a screen that closes while its
// worker runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "res/resource.h"
#include "skin/screen_win32.h"
#include "skin/worker_win32.h"

namespace {

constexpr UINT kLetterMessage = WM_APP + 1;
constexpr UINT kDoneMessage = WM_APP + 2;

struct Counted : skin::Letter {
    explicit Counted(std::atomic<int>* n) : alive(n) { ++*alive; }
    ~Counted() override { --*alive; }
    std::atomic<int>* alive;
};

// A screen whose worker keeps delivering letters; it closes after the first one arrives. Once
// the screen has gone, the worker sends a message to a window of the screen's thread (which only
// a waiting screen answers) and then tries to deliver three more letters.
class WorkerScreen : public skin::Screen {
public:
    WorkerScreen(std::atomic<int>* alive, HWND answering)
        : Screen(IDD_PLEASE_WAIT), alive_(alive), answering_(answering),
          release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~WorkerScreen() override { CloseHandle(release_); }
    int letters = 0;
    bool started = false;
    std::atomic<int> failedPosts{0};
    std::atomic<bool> workerDone{false};

protected:
    bool OnInitDialog() override {
        InitSkin(IDB_BG_GENERAL);
        std::atomic<int>* alive = alive_;
        HANDLE release = release_;
        HWND answering = answering_;
        std::atomic<int>* failed = &failedPosts;
        std::atomic<bool>* done = &workerDone;
        started = StartWorker(kDoneMessage, [=](skin::WorkerLink& l) {
            l.Deliver(kLetterMessage, std::make_unique<Counted>(alive));
            // the screen goes while the worker still has work to report
            WaitForSingleObject(release, 10000);
            SendMessageA(answering, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("answered"));
            for (int i = 0; i < 3; ++i) {
                if (!l.Deliver(kLetterMessage, std::make_unique<Counted>(alive))) {
                    ++*failed;
                }
            }
            *done = true;
            return 7u;
        });
        return true;
    }
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM lp, bool& handled) override {
        if (m == kLetterMessage) {
            auto letter = Link()->Take(lp);
            if (letter) {
                ++letters;
            }
            EndDialog(55);
            handled = true;
            return TRUE;
        }
        return Screen::OnMessage(m, w, lp, handled);
    }
    void OnDestroy() override { SetEvent(release_); }

private:
    std::atomic<int>* alive_;
    HWND answering_;
    HANDLE release_;
};

TEST(WorkerLink, AScreenThatClosesWhileItsWorkerRunsAwaitsIt) {
    std::atomic<int> alive{0};
    HWND answering = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    {
        WorkerScreen screen(&alive, answering);
        EXPECT_EQ(screen.DoModal(), 55);
        EXPECT_TRUE(screen.started);
        EXPECT_EQ(screen.letters, 1);
        // the run ended only with the worker, which was answered meanwhile
        EXPECT_TRUE(screen.workerDone);
        char text[16] = "";
        GetWindowTextA(answering, text, sizeof text);
        EXPECT_STREQ(text, "answered");
        EXPECT_EQ(screen.failedPosts, 3);
    }
    // every letter was freed: taken by the screen or refused after it had gone
    EXPECT_EQ(alive, 0);
    DestroyWindow(answering);
}

TEST(WorkerLink, LettersInFlightAreFreedWhenTheScreenGoes) {
    std::atomic<int> alive{0};
    HWND w = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    auto link = std::make_shared<skin::WorkerLink>(w);
    EXPECT_TRUE(link->Deliver(kLetterMessage, std::make_unique<Counted>(&alive)));
    EXPECT_TRUE(link->Deliver(kLetterMessage, std::make_unique<Counted>(&alive)));
    EXPECT_EQ(link->Pending(), 2u);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, w, kLetterMessage, kLetterMessage, PM_REMOVE));
    EXPECT_NE(link->Take(msg.lParam), nullptr);
    EXPECT_EQ(link->Take(msg.lParam), nullptr) << "a letter is taken once";
    EXPECT_EQ(link->Take(12345), nullptr);
    EXPECT_EQ(alive, 1);
    link->Close();
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(link->Post(kDoneMessage));
    EXPECT_FALSE(link->DeliverValue(kLetterMessage, std::string("late")));
    DestroyWindow(w);
}

TEST(WorkerLink, TheWorkersResultComesBackAsAMessage) {
    HWND w = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    auto link = std::make_shared<skin::WorkerLink>(w);
    HANDLE t = skin::StartWorker(link, kDoneMessage, [](skin::WorkerLink& l) {
        l.DeliverValue(kLetterMessage, std::string("NAS1"));
        return 0xC0000001u;
    });
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(WaitForSingleObject(t, 10000), WAIT_OBJECT_0);
    CloseHandle(t);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, w, kLetterMessage, kLetterMessage, PM_REMOVE));
    auto parcel = link->TakeValue<std::string>(msg.lParam);
    ASSERT_NE(parcel, nullptr);
    EXPECT_EQ(parcel->value, "NAS1");
    ASSERT_TRUE(PeekMessageA(&msg, w, kDoneMessage, kDoneMessage, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0xC0000001u);
    link->Close();
    DestroyWindow(w);
}

} // namespace
