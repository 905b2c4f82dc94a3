// Accepts connections, journals each request frame, answers it (or misbehaves) and closes.
#include "appliance/server.h"

#include "appliance/request.h"
#include "appliance/state.h"
#include "appliance/udp.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace appliance {

namespace {

int stopPipe[2] = {-1, -1};
std::mutex stateLock;
std::mutex journalLock;

void OnSignal(int) {
    char b = 1;
    ssize_t ignored = write(stopPipe[1], &b, 1);
    (void)ignored;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

void Journal(const std::string& dir, const std::string& frame) {
    std::lock_guard<std::mutex> hold(journalLock);
    std::ofstream out(dir + "/journal", std::ios::app);
    out << Hex(frame) << "\n";
}

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Reads until the socket closes or the deadline passes; used to wait for the client's close.
void WaitForClose(int fd, long long deadlineMs) {
    char sink[4096];
    for (;;) {
        long long left = deadlineMs - NowMs();
        if (left <= 0)
            return;
        pollfd p{fd, POLLIN, 0};
        int rc = poll(&p, 1, static_cast<int>(left > 60000 ? 60000 : left));
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0)
            return;
        if (rc == 0)
            continue;
        ssize_t n = recv(fd, sink, sizeof sink, 0);
        if (n <= 0)
            return;
    }
}

void SendAll(int fd, const std::string& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        at += static_cast<size_t>(n);
    }
}

void HandleConnection(int fd, const Options& options) {
    std::string data;
    Request request;
    ParseOutcome outcome = ParseOutcome::NeedMore;
    long long deadline = NowMs() + options.requestMs;
    bool peerClosed = false;
    while (outcome == ParseOutcome::NeedMore) {
        long long left = deadline - NowMs();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        int rc = poll(&p, 1, static_cast<int>(left));
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc <= 0)
            break;
        char chunk[4096];
        ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            peerClosed = true;
            break;
        }
        data.append(chunk, static_cast<size_t>(n));
        size_t used = 0;
        outcome = ParseRequest(reinterpret_cast<const uint8_t*>(data.data()), data.size(), &request,
                               &used);
        if (data.size() > 2 * 4096)
            outcome = ParseOutcome::Invalid;
    }
    if (data.empty()) {
        close(fd);
        return;
    }
    Journal(options.state, data);

    std::string reply;
    std::string command;
    if (outcome == ParseOutcome::Complete) {
        command = request.word;
        std::lock_guard<std::mutex> hold(stateLock);
        StateFolder state(options.state);
        reply = state.Answer(request);
    } else {
        reply = ErroReply(ERR_UNPARSABLE);
        if (data.size() >= 4)
            command = data.substr(0, 4);
    }
    std::vector<Fault> faults = options.faults;
    for (const Fault& f : LoadFaultFile(options.state + "/faults"))
        faults.push_back(f);
    Plan plan = MakePlan(faults, command, reply);

    if (plan.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(plan.delayMs));
    if (!plan.drop) {
        SendAll(fd, plan.reply);
        if (plan.hold) {
            // Stays open until the client gives up; the client's longest wait is 600 seconds.
            WaitForClose(fd, NowMs() + 900000);
        } else if (!peerClosed) {
            // Ends the reply, then lets the client close first so no unread byte resets it.
            shutdown(fd, SHUT_WR);
            WaitForClose(fd, NowMs() + 5000);
        }
    }
    close(fd);
}

} // namespace

int Serve(const Options& options) {
    {
        std::string error;
        StateFolder state(options.state);
        if (!state.Prepare(&error)) {
            std::fprintf(stderr, "tovapplianced: %s\n", error.c_str());
            return EXIT_STATE;
        }
    }
    in_addr address{};
    if (inet_pton(AF_INET, options.listen.c_str(), &address) != 1) {
        std::fprintf(stderr, "tovapplianced: \"%s\" is not an IPv4 address\n",
                     options.listen.c_str());
        return EXIT_USAGE;
    }
    // In the lab the host's namespace is its own and "ipcf" may move it to another address, so
    // TCP listens on all of them; discovery and reconfiguration run only there.
    bool lab = IsLabAddress(options.listen);
    if (lab) {
        std::string error;
        if (!StartUdpService(options, &error)) {
            std::fprintf(stderr, "tovapplianced: %s\n", error.c_str());
            return EXIT_USAGE;
        }
        address.s_addr = INADDR_ANY;
    }
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(APPLIANCE_PORT);
    sa.sin_addr = address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(listener, 64) != 0) {
        int e = errno;
        std::fprintf(stderr, "tovapplianced: cannot listen on %s:%u: %s\n", options.listen.c_str(),
                     APPLIANCE_PORT, std::strerror(e));
        close(listener);
        return e == EADDRINUSE ? EXIT_ADDRESS_IN_USE : EXIT_USAGE;
    }
    if (pipe2(stopPipe, O_CLOEXEC) != 0)
        return EXIT_USAGE;
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("tovapplianced: listening on %s:%u%s, state %s\n", options.listen.c_str(),
                APPLIANCE_PORT, lab ? " (TCP on every address, UDP on its interface)" : "",
                options.state.c_str());
    std::fflush(stdout);
    if (!options.readyFile.empty()) {
        std::string temp = options.readyFile + ".new";
        {
            std::ofstream out(temp);
            out << getpid() << "\n";
        }
        std::rename(temp.c_str(), options.readyFile.c_str());
    }

    for (;;) {
        pollfd p[2] = {{listener, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        int rc = poll(p, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || (p[1].revents & POLLIN))
            break;
        int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::thread(HandleConnection, fd, std::cref(options)).detach();
    }
    close(listener);
    std::fflush(stdout);
    // Connections still held open by a fault end with the process.
    _exit(EXIT_OK);
}

} // namespace appliance
