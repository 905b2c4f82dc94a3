// The lab tests' guard on POSIX: the source address the sockets would use towards a lab host.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

// A connected datagram socket sends nothing but has its source address chosen by the routes of
// the namespace its socket lives in. "" when there is no route.
std::string RoutedSourceAddress(const char* destination) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return "";
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr.s_addr = inet_addr(destination);
    sockaddr_in local{};
    socklen_t size = sizeof local;
    char text[INET_ADDRSTRLEN] = "";
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0)
        inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
    close(fd);
    return text;
}
