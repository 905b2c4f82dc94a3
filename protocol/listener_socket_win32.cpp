// The broadcast listener's address and bind on Windows Sockets, which already deliver an
// adapter's broadcasts to a socket bound to that adapter's address.
#include "protocol/listener_socket.h"

#include <winsock2.h>

#include <cstring>

bool HostNameAddress(uint32_t* address) {
    hostent* host = gethostbyname("");
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0])
        return false;
    std::memcpy(address, host->h_addr_list[0], sizeof *address);
    return true;
}

bool SocketBindAdapter(SocketHandle s, uint32_t address, uint16_t port) {
    return SocketBind(s, address, port);
}
