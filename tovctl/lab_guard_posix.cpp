// The source address of tovctl's sockets on POSIX: the routes of this process's namespace.
#include "tovctl/lab_guard.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

std::string RoutedSourceAddress(uint32_t destination) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return "";
    // broadcast destinations need the permission a discovery socket has
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(4301);
    to.sin_addr.s_addr = destination;
    sockaddr_in local{};
    socklen_t size = sizeof local;
    char text[INET_ADDRSTRLEN] = "";
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0)
        inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
    close(fd);
    return text;
}
