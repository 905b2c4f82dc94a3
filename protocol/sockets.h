// The few socket calls the command channel makes, the same on Windows Sockets and POSIX.
#pragma once

#include <cstddef>
#include <cstdint>

using SocketHandle = uintptr_t;
constexpr SocketHandle INVALID_SOCKET_HANDLE = ~static_cast<uintptr_t>(0);

constexpr int IP_PROTOCOL_TCP = 6;
constexpr int IP_PROTOCOL_UDP = 17;

// Starts the platform's sockets for one operation (Windows Sockets 2.2); false with the start-up
// error in *error. Every successful start is paired with one SocketsRelease.
bool SocketsStart(uint32_t* error);
void SocketsRelease();

// The error of the latest failed socket call on this thread.
uint32_t SocketsLastError();

// An IPv4 socket: a stream socket for TCP, a datagram socket otherwise.
SocketHandle SocketCreate(int protocol);
// Addresses are 32-bit IPv4 addresses in network order; ports are in host order.
bool SocketBind(SocketHandle s, uint32_t address, uint16_t port);
bool SocketConnect(SocketHandle s, uint32_t address, uint16_t port);
bool SocketSetBroadcast(SocketHandle s, bool on);
bool SocketSetReuseAddress(SocketHandle s, bool on);
// One send with no flags; returns the count sent or -1.
long SocketSend(SocketHandle s, const void* data, size_t length);
long SocketSendTo(SocketHandle s, const void* data, size_t length, uint32_t address, uint16_t port);
// One read of at most length bytes; returns the count read (0 when the peer closed) or -1.
long SocketReceive(SocketHandle s, void* data, size_t length);
// One read that never waits: the count read (0 when the peer closed), -1 on failure, or
// SOCKET_NOTHING_YET when nothing has arrived. Where the platform has no such read it answers
// SOCKET_NOTHING_YET at once, and the caller waits as for any read.
constexpr long SOCKET_NOTHING_YET = -2;
long SocketReceiveReady(SocketHandle s, void* data, size_t length);
// Waits until the socket is readable: 1 readable, 0 time-out, -1 failure. A signal that
// interrupts the wait is no failure: the wait goes on for the time that is left.
int SocketWaitReadable(SocketHandle s, unsigned seconds);
void SocketClose(SocketHandle s);

// Dotted IPv4 text to a network-order address, as inet_addr does: 0xFFFFFFFF when it is not one.
uint32_t ParseIPv4Address(const char* text);
