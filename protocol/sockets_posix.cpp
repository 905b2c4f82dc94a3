// The sockets shim over POSIX sockets; there is nothing to start or release.
#include "protocol/sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int Fd(SocketHandle s) { return static_cast<int>(s); }

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = address;
    return sa;
}

bool SetFlag(SocketHandle s, int option, bool on) {
    int value = on ? 1 : 0;
    return setsockopt(Fd(s), SOL_SOCKET, option, &value, sizeof value) == 0;
}

} // namespace

bool SocketsStart(uint32_t* error) {
    *error = 0;
    return true;
}

void SocketsRelease() {}

uint32_t SocketsLastError() { return static_cast<uint32_t>(errno); }

SocketHandle SocketCreate(int protocol) {
    int type = protocol == IP_PROTOCOL_TCP ? SOCK_STREAM : SOCK_DGRAM;
    int fd = socket(AF_INET, type | SOCK_CLOEXEC, protocol);
    return fd < 0 ? INVALID_SOCKET_HANDLE : static_cast<SocketHandle>(fd);
}

bool SocketBind(SocketHandle s, uint32_t address, uint16_t port) {
    sockaddr_in sa = MakeAddress(address, port);
    return bind(Fd(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool SocketConnect(SocketHandle s, uint32_t address, uint16_t port) {
    sockaddr_in sa = MakeAddress(address, port);
    int rc;
    do {
        rc = connect(Fd(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

bool SocketSetBroadcast(SocketHandle s, bool on) { return SetFlag(s, SO_BROADCAST, on); }

bool SocketSetReuseAddress(SocketHandle s, bool on) { return SetFlag(s, SO_REUSEADDR, on); }

long SocketSend(SocketHandle s, const void* data, size_t length) {
    // A peer that has gone must give an error, not end the process with SIGPIPE.
    return static_cast<long>(send(Fd(s), data, length, MSG_NOSIGNAL));
}

long SocketSendTo(SocketHandle s, const void* data, size_t length, uint32_t address,
                  uint16_t port) {
    sockaddr_in sa = MakeAddress(address, port);
    return static_cast<long>(
        sendto(Fd(s), data, length, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&sa), sizeof sa));
}

long SocketReceive(SocketHandle s, void* data, size_t length) {
    ssize_t n;
    do {
        n = recv(Fd(s), data, length, 0);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

long SocketReceiveReady(SocketHandle s, void* data, size_t length) {
    ssize_t n;
    do {
        n = recv(Fd(s), data, length, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return SOCKET_NOTHING_YET;
    return static_cast<long>(n);
}

int SocketWaitReadable(SocketHandle s, unsigned seconds) {
    // poll, not select: a select set holds descriptors below FD_SETSIZE only, and setting a
    // higher one (in a process with many files open) writes past the set.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
    pollfd watch{};
    watch.fd = Fd(s);
    watch.events = POLLIN;
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        int wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        int rc = poll(&watch, 1, wait);
        if (rc > 0)
            return 1;
        if (rc == 0)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}

void SocketClose(SocketHandle s) { close(Fd(s)); }

uint32_t ParseIPv4Address(const char* text) { return static_cast<uint32_t>(inet_addr(text)); }
