// The lab tests' guard on Windows Sockets: the source address the sockets would use towards a
// lab host. Under Wine the sockets are the wineserver's, so this tells where that server runs.
#include <winsock2.h>

#include <string>

// A connected datagram socket sends nothing but has its source address chosen by the routes of
// the namespace its socket lives in. "" when there is no route. The sockets are started.
std::string RoutedSourceAddress(const char* destination) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return "";
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr.s_addr = inet_addr(destination);
    sockaddr_in local{};
    int size = sizeof local;
    std::string text;
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&local), &size) == 0)
        text = inet_ntoa(local.sin_addr);
    closesocket(s);
    return text;
}
