// EchoProbe on POSIX sockets: a raw ICMP socket that is open before the request leaves, then poll.
#include "protocol/echo_probe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <ctime>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <new>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList() {
        if (head)
            freeaddrinfo(head);
    }
};

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            close(fd);
    }
};

uint16_t TickMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint16_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

// The local address the system routes the destination through: a connected datagram socket
// sends nothing, yet the kernel has picked its source address.
bool RouteSource(const sockaddr_in6& destination, in6_addr* source) {
    Descriptor probe;
    probe.fd = socket(AF_INET6, SOCK_DGRAM, 0);
    if (probe.fd < 0)
        return false;
    sockaddr_in6 target = destination;
    target.sin6_port = htons(9);
    if (connect(probe.fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0)
        return false;
    sockaddr_in6 local{};
    socklen_t size = sizeof local;
    if (getsockname(probe.fd, reinterpret_cast<sockaddr*>(&local), &size) != 0)
        return false;
    *source = local.sin6_addr;
    return true;
}

// Waits for the socket to become readable, going on after a signal with the time that is left.
EchoWait WaitReadable(int fd, unsigned milliseconds) {
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        long long spent =
            (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
        long long left = static_cast<long long>(milliseconds) - spent;
        if (left < 0)
            left = 0;
        pollfd p{fd, POLLIN, 0};
        int rc = poll(&p, 1, static_cast<int>(left));
        if (rc > 0)
            return EchoWait::Signalled;
        if (rc == 0)
            return EchoWait::TimedOut;
        if (errno != EINTR)
            return EchoWait::Failed;
    }
}

} // namespace

int EchoProbe::Probe(const char* address) {
    AddressList target;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    if (getaddrinfo(address, nullptr, &hints, &target.head) != 0 || !target.head)
        return PROBE_FAILED;
    family = target.head->ai_family;
    if (family != AF_INET && family != AF_INET6)
        return PROBE_FAILED;
    bool ipv6 = family == AF_INET6;
    protocol = ipv6 ? ICMP_PROTOCOL_V6 : ICMP_PROTOCOL_V4;

    AddressList wildcard;
    addrinfo local{};
    local.ai_family = family;
    local.ai_flags = AI_PASSIVE;
    if (getaddrinfo(nullptr, "0", &local, &wildcard.head) != 0 || !wildcard.head)
        return PROBE_FAILED;

    Descriptor raw;
    raw.fd = socket(family, SOCK_RAW, protocol);
    if (raw.fd < 0)
        return PROBE_FAILED;
    std::unique_ptr<uint8_t[]> packet(new (std::nothrow) uint8_t[ECHO_PACKET_SIZE]);
    std::unique_ptr<uint8_t[]> reply(new (std::nothrow) uint8_t[receiveSize]);
    if (!packet || !reply)
        return PROBE_FAILED;
    if (bind(raw.fd, wildcard.head->ai_addr, wildcard.head->ai_addrlen) != 0)
        return PROBE_FAILED;
    // The socket now takes every ICMP packet that arrives: the answer cannot slip past it.

    BuildEchoRequest(packet.get(), ipv6, static_cast<uint16_t>(getpid()), TickMilliseconds());
    if (ipv6) {
        const auto* destination = reinterpret_cast<const sockaddr_in6*>(target.head->ai_addr);
        in6_addr source{};
        if (!RouteSource(*destination, &source))
            return PROBE_FAILED;
        SealEchoRequest(packet.get(), source.s6_addr, destination->sin6_addr.s6_addr);
    } else {
        SealEchoRequest(packet.get(), nullptr, nullptr);
    }
    if (sendto(raw.fd, packet.get(), ECHO_PACKET_SIZE, 0, target.head->ai_addr,
               target.head->ai_addrlen) < 0)
        return PROBE_FAILED;

    EchoWait wait = WaitReadable(raw.fd, WaitMilliseconds());
    bool received = false;
    if (wait == EchoWait::Signalled)
        received = recv(raw.fd, reply.get(), receiveSize, MSG_DONTWAIT) >= 0;
    return EchoResult(wait, received);
}
