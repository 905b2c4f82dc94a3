// The sockets shim over Windows Sockets 2.2, started and released around every operation.
#include "protocol/sockets.h"

#include <winsock2.h>

namespace {

SOCKET Sock(SocketHandle s) { return static_cast<SOCKET>(s); }

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = address;
    return sa;
}

bool SetFlag(SocketHandle s, int option, bool on) {
    BOOL value = on ? TRUE : FALSE;
    return setsockopt(Sock(s), SOL_SOCKET, option, reinterpret_cast<const char*>(&value),
                      sizeof value) == 0;
}

} // namespace

bool SocketsStart(uint32_t* error) {
    WSADATA data;
    int rc = WSAStartup(MAKEWORD(2, 2), &data);
    *error = static_cast<uint32_t>(rc);
    return rc == 0;
}

void SocketsRelease() { WSACleanup(); }

uint32_t SocketsLastError() { return static_cast<uint32_t>(WSAGetLastError()); }

SocketHandle SocketCreate(int protocol) {
    int type = protocol == IP_PROTOCOL_TCP ? SOCK_STREAM : SOCK_DGRAM;
    SOCKET s = socket(AF_INET, type, protocol);
    return s == INVALID_SOCKET ? INVALID_SOCKET_HANDLE : static_cast<SocketHandle>(s);
}

bool SocketBind(SocketHandle s, uint32_t address, uint16_t port) {
    sockaddr_in sa = MakeAddress(address, port);
    return bind(Sock(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool SocketConnect(SocketHandle s, uint32_t address, uint16_t port) {
    sockaddr_in sa = MakeAddress(address, port);
    return connect(Sock(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool SocketSetBroadcast(SocketHandle s, bool on) { return SetFlag(s, SO_BROADCAST, on); }

bool SocketSetReuseAddress(SocketHandle s, bool on) { return SetFlag(s, SO_REUSEADDR, on); }

long SocketSend(SocketHandle s, const void* data, size_t length) {
    int n = send(Sock(s), static_cast<const char*>(data), static_cast<int>(length), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

long SocketSendTo(SocketHandle s, const void* data, size_t length, uint32_t address,
                  uint16_t port) {
    sockaddr_in sa = MakeAddress(address, port);
    int n = sendto(Sock(s), static_cast<const char*>(data), static_cast<int>(length), 0,
                   reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    return n == SOCKET_ERROR ? -1 : n;
}

long SocketReceive(SocketHandle s, void* data, size_t length) {
    int n = recv(Sock(s), static_cast<char*>(data), static_cast<int>(length), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

// Windows Sockets has no read flag that skips the wait for one call; the caller waits first.
long SocketReceiveReady(SocketHandle, void*, size_t) { return SOCKET_NOTHING_YET; }

int SocketWaitReadable(SocketHandle s, unsigned seconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(Sock(s), &readable);
    timeval wait;
    wait.tv_sec = static_cast<long>(seconds);
    wait.tv_usec = 0;
    int rc = select(0, &readable, nullptr, nullptr, &wait);
    if (rc == SOCKET_ERROR)
        return -1;
    return rc == 0 ? 0 : 1;
}

void SocketClose(SocketHandle s) { closesocket(Sock(s)); }

uint32_t ParseIPv4Address(const char* text) { return static_cast<uint32_t>(inet_addr(text)); }
