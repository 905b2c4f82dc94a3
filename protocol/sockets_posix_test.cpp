// Tests of the POSIX socket wait: descriptors past FD_SETSIZE and signals during the wait.
#include "protocol/sockets.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<int> signalled{0};
void OnSignal(int) { ++signalled; }

// The scheduler state of a thread of this process: 'S' while it sleeps in a wait.
char ThreadState(long tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t paren = stat.rfind(')');
    return paren != std::string::npos && paren + 2 < stat.size() ? stat[paren + 2] : '?';
}

// A connected pair, closed when the test ends.
struct Pair {
    Pair() { socketpair(AF_UNIX, SOCK_STREAM, 0, fd); }
    ~Pair() {
        close(fd[0]);
        close(fd[1]);
    }
    int fd[2] = {-1, -1};
};

TEST(SocketWait, ADescriptorPastFdSetSizeIsWaitedOn) {
    Pair pair;
    const int high = FD_SETSIZE + 100;
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_max <= static_cast<rlim_t>(high))
        GTEST_SKIP() << "this process may not open descriptor " << high;
    if (limit.rlim_cur <= static_cast<rlim_t>(high)) {
        limit.rlim_cur = high + 1;
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    }
    ASSERT_EQ(dup2(pair.fd[0], high), high);
    SocketHandle s = static_cast<SocketHandle>(high);
    char byte = 'x';
    EXPECT_EQ(SocketWaitReadable(s, 0), 0);
    EXPECT_EQ(SocketReceiveReady(s, &byte, 1), SOCKET_NOTHING_YET);
    ASSERT_EQ(write(pair.fd[1], &byte, 1), 1);
    EXPECT_EQ(SocketWaitReadable(s, 5), 1);
    close(high);
}

TEST(SocketWait, ASignalDuringTheWaitIsNoFailure) {
    Pair pair;
    struct sigaction on {
    }, old{};
    on.sa_handler = OnSignal; // no SA_RESTART: the wait sees EINTR
    sigemptyset(&on.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR1, &on, &old), 0);
    std::atomic<long> tid{0};
    int result = -2;
    std::thread waiter([&] {
        tid = static_cast<long>(syscall(SYS_gettid));
        result = SocketWaitReadable(static_cast<SocketHandle>(pair.fd[0]), 120);
    });
    // Signalled once it sleeps in the wait, then given data.
    while (tid == 0 || ThreadState(tid) != 'S')
        std::this_thread::yield();
    pthread_kill(waiter.native_handle(), SIGUSR1);
    while (signalled == 0)
        std::this_thread::yield();
    char byte = 'x';
    ASSERT_EQ(write(pair.fd[1], &byte, 1), 1);
    waiter.join();
    sigaction(SIGUSR1, &old, nullptr);
    EXPECT_EQ(result, 1);
}

} // namespace
