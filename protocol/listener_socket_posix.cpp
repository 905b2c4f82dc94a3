// The broadcast listener's address and bind on Linux, made to behave as Windows Sockets do: a
// socket bound to an adapter's address hears that adapter's broadcasts.
#include "protocol/listener_socket.h"

#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>

namespace {

// The interface that holds the address, "" when none does (or it is a loopback one).
std::string InterfaceOf(uint32_t address) {
    ifaddrs* head = nullptr;
    if (getifaddrs(&head) != 0)
        return "";
    std::string name;
    for (ifaddrs* a = head; a; a = a->ifa_next) {
        if (!a->ifa_name || !a->ifa_addr || a->ifa_addr->sa_family != AF_INET ||
            (a->ifa_flags & IFF_LOOPBACK))
            continue;
        if (reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr == address) {
            name = a->ifa_name;
            break;
        }
    }
    freeifaddrs(head);
    return name;
}

} // namespace

// Windows answers the empty host name with its adapters' addresses; the first addressed adapter
// in the system's order stands for it here.
bool HostNameAddress(uint32_t* address) {
    ifaddrs* head = nullptr;
    if (getifaddrs(&head) != 0)
        return false;
    bool found = false;
    for (ifaddrs* a = head; a && !found; a = a->ifa_next) {
        if (!a->ifa_name || !a->ifa_addr || a->ifa_addr->sa_family != AF_INET ||
            (a->ifa_flags & IFF_LOOPBACK))
            continue;
        *address = reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr;
        found = true;
    }
    freeifaddrs(head);
    return found;
}

// Linux delivers broadcasts only to sockets bound to the wildcard address, so the socket is bound
// there and tied to the adapter's interface instead.
bool SocketBindAdapter(SocketHandle s, uint32_t address, uint16_t port) {
    std::string name = address == 0 ? std::string() : InterfaceOf(address);
    if (name.empty())
        return SocketBind(s, address, port);
    if (setsockopt(static_cast<int>(s), SOL_SOCKET, SO_BINDTODEVICE, name.c_str(),
                   static_cast<socklen_t>(name.size() + 1)) != 0)
        return false;
    return SocketBind(s, 0, port);
}
