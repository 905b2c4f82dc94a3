// The source address of tovctl's sockets on Windows Sockets. Under Wine the wineserver creates
// the socket, so its routes are those of the namespace that server runs in.
#include "tovctl/lab_guard.h"

#include <winsock2.h>

std::string RoutedSourceAddress(uint32_t destination) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return "";
    // broadcast destinations need the permission a discovery socket has
    BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(4301);
    to.sin_addr.s_addr = destination;
    sockaddr_in local{};
    int size = sizeof local;
    std::string text;
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&local), &size) == 0)
        text = inet_ntoa(local.sin_addr);
    closesocket(s);
    return text;
}
