// EchoProbe on Windows Sockets: a raw ICMP socket with an overlapped receive posted on an event.
#include "protocol/echo_probe.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <memory>
#include <new>

namespace {

// How long a cancelled receive may take to let go of the buffer before it is freed.
constexpr DWORD CANCEL_MILLISECONDS = 1000;

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList() {
        if (head)
            freeaddrinfo(head);
    }
};

struct RawSocket {
    SOCKET s = INVALID_SOCKET;
    ~RawSocket() {
        if (s != INVALID_SOCKET)
            closesocket(s);
    }
};

struct SocketEvent {
    WSAEVENT e = WSA_INVALID_EVENT;
    ~SocketEvent() {
        if (e != WSA_INVALID_EVENT)
            WSACloseEvent(e);
    }
};

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

    // Declared before the socket and the event: they go first, so no receive still owns the
    // buffers when these are freed.
    std::unique_ptr<uint8_t[]> packet;
    std::unique_ptr<char[]> reply;
    RawSocket raw;
    SocketEvent event;
    raw.s = socket(family, SOCK_RAW, protocol);
    if (raw.s == INVALID_SOCKET)
        return PROBE_FAILED;
    packet.reset(new (std::nothrow) uint8_t[ECHO_PACKET_SIZE]);
    reply.reset(new (std::nothrow) char[receiveSize]);
    if (!packet || !reply)
        return PROBE_FAILED;
    if (bind(raw.s, wildcard.head->ai_addr, static_cast<int>(wildcard.head->ai_addrlen)) != 0)
        return PROBE_FAILED;

    event.e = WSACreateEvent();
    if (event.e == WSA_INVALID_EVENT)
        return PROBE_FAILED;
    WSAOVERLAPPED overlapped{};
    overlapped.hEvent = event.e;
    WSABUF buffer;
    buffer.len = static_cast<u_long>(receiveSize);
    buffer.buf = reply.get();
    DWORD count = 0;
    DWORD flags = 0;
    // The receive is waiting before the request leaves, so even the quickest answer is caught.
    if (WSARecv(raw.s, &buffer, 1, &count, &flags, &overlapped, nullptr) == SOCKET_ERROR &&
        WSAGetLastError() != WSA_IO_PENDING) {
        // A receive that cannot be posted would make every address look free.
        return PROBE_FAILED;
    }

    int result = PROBE_FAILED;
    BuildEchoRequest(packet.get(), ipv6, static_cast<uint16_t>(GetCurrentProcessId()),
                     static_cast<uint16_t>(GetTickCount()));
    bool sealed = true;
    if (ipv6) {
        sockaddr_in6 source{};
        DWORD size = 0;
        if (WSAIoctl(raw.s, SIO_ROUTING_INTERFACE_QUERY, target.head->ai_addr,
                     static_cast<DWORD>(target.head->ai_addrlen), &source, sizeof source, &size,
                     nullptr, nullptr) == SOCKET_ERROR) {
            sealed = false;
        } else {
            const auto* destination = reinterpret_cast<const sockaddr_in6*>(target.head->ai_addr);
            SealEchoRequest(packet.get(), source.sin6_addr.s6_addr, destination->sin6_addr.s6_addr);
        }
    } else {
        SealEchoRequest(packet.get(), nullptr, nullptr);
    }
    if (sealed && sendto(raw.s, reinterpret_cast<const char*>(packet.get()),
                         static_cast<int>(ECHO_PACKET_SIZE), 0, target.head->ai_addr,
                         static_cast<int>(target.head->ai_addrlen)) != SOCKET_ERROR) {
        DWORD rc = WSAWaitForMultipleEvents(1, &event.e, FALSE, WaitMilliseconds(), FALSE);
        EchoWait wait = rc == WSA_WAIT_FAILED    ? EchoWait::Failed
                        : rc == WSA_WAIT_TIMEOUT ? EchoWait::TimedOut
                                                 : EchoWait::Signalled;
        bool received = false;
        if (wait == EchoWait::Signalled)
            received = WSAGetOverlappedResult(raw.s, &overlapped, &count, FALSE, &flags) != FALSE;
        result = EchoResult(wait, received);
    }

    // A receive still pending owns the reply buffer until its cancellation has completed.
    if (!HasOverlappedIoCompleted(&overlapped)) {
        CancelIo(reinterpret_cast<HANDLE>(raw.s));
        WSAWaitForMultipleEvents(1, &event.e, FALSE, CANCEL_MILLISECONDS, FALSE);
    }
    return result;
}
