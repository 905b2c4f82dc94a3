// Checks what Winsock and the IP helper report inside the network lab, one question per command.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int Usage() {
    std::printf("usage: netprobe adapters | hostname | listen|block ADDR|host PORT SECONDS\n"
                "       | send ADDR PORT TEXT | ping ADDR [WAIT_MS]\n");
    return 2;
}

// The same two-step call as the client: a 640-byte first try, then the size the call asked for.
int Adapters() {
    ULONG size = 640;
    std::vector<char> buffer(size);
    DWORD rc = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    std::printf("first call: %lu, size %lu\n", rc, size);
    if (rc != ERROR_SUCCESS) {
        buffer.assign(size, 0);
        rc = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
        std::printf("second call: %lu\n", rc);
        if (rc != ERROR_SUCCESS)
            return 1;
    }
    int k = 0;
    for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next, ++k) {
        std::printf("adapter %d: index %lu type %u name \"%s\" description \"%s\"\n", k, a->Index,
                    a->Type, a->AdapterName, a->Description);
        for (IP_ADDR_STRING* ip = &a->IpAddressList; ip; ip = ip->Next)
            std::printf("  address %s mask %s\n", ip->IpAddress.String, ip->IpMask.String);
        for (IP_ADDR_STRING* gw = &a->GatewayList; gw; gw = gw->Next)
            std::printf("  gateway %s\n", gw->IpAddress.String);
    }
    return 0;
}

int HostName() {
    char name[256] = "";
    gethostname(name, sizeof name);
    std::printf("gethostname: \"%s\"\n", name);
    hostent* h = gethostbyname("");
    if (!h) {
        std::printf("gethostbyname(\"\"): error %d\n", WSAGetLastError());
        return 1;
    }
    std::printf("gethostbyname(\"\"): name \"%s\"\n", h->h_name);
    for (int i = 0; h->h_addr_list[i]; ++i) {
        in_addr a;
        std::memcpy(&a, h->h_addr_list[i], sizeof a);
        std::printf("  address %d: %s\n", i, inet_ntoa(a));
    }
    return 0;
}

unsigned long ParseAddress(const char* text) {
    if (std::strcmp(text, "host") == 0) {
        hostent* h = gethostbyname("");
        if (!h || !h->h_addr_list[0])
            return INADDR_NONE;
        unsigned long a;
        std::memcpy(&a, h->h_addr_list[0], sizeof a);
        return a;
    }
    return inet_addr(text);
}

// The listener of the broadcast scan: SO_REUSEADDR, bound to one address, datagrams until quiet.
// "block" holds the port instead: SO_EXCLUSIVEADDRUSE and no SO_REUSEADDR.
int Listen(const char* addr, int port, int seconds, bool exclusive) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    BOOL on = TRUE;
    int option = exclusive ? SO_EXCLUSIVEADDRUSE : SO_REUSEADDR;
    int optionRc = setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&on), sizeof on);
    std::printf("%s: %d\n", exclusive ? "SO_EXCLUSIVEADDRUSE" : "SO_REUSEADDR", optionRc);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(port));
    local.sin_addr.s_addr = ParseAddress(addr);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::printf("bind %s:%d: error %d\n", inet_ntoa(local.sin_addr), port, WSAGetLastError());
        return 1;
    }
    std::printf("bound %s:%d\n", inet_ntoa(local.sin_addr), port);
    std::fflush(stdout);
    DWORD timeout = seconds * 1000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    int got = 0;
    for (;;) {
        char data[2048];
        sockaddr_in from = {};
        int fromLength = sizeof from;
        int n =
            recvfrom(s, data, sizeof data - 1, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n < 0) {
            std::printf("recvfrom: error %d after %d datagram(s)\n", WSAGetLastError(), got);
            break;
        }
        data[n] = 0;
        std::printf("from %s:%d %d \"%s\"\n", inet_ntoa(from.sin_addr), ntohs(from.sin_port), n,
                    data);
        std::fflush(stdout);
        ++got;
    }
    closesocket(s);
    return got ? 0 : 1;
}

// The scan's sender: bound to 0.0.0.0:0 with SO_BROADCAST.
int Send(const char* addr, int port, const char* text) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::printf("bind: error %d\n", WSAGetLastError());
        return 1;
    }
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = inet_addr(addr);
    int n = sendto(s, text, static_cast<int>(std::strlen(text)), 0,
                   reinterpret_cast<sockaddr*>(&to), sizeof to);
    std::printf("sendto %s:%d: %d (error %d)\n", addr, port, n, n < 0 ? WSAGetLastError() : 0);
    closesocket(s);
    return n < 0 ? 1 : 0;
}

unsigned short Checksum(const unsigned char* p, int n) {
    unsigned long sum = 0;
    for (int i = 0; i + 1 < n; i += 2)
        sum += p[i] | (p[i + 1] << 8);
    if (n & 1)
        sum += p[n - 1];
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<unsigned short>(~sum);
}

// One echo on a raw socket, an overlapped receive on an event, one wait.
int Ping(const char* addr, int waitMs) {
    SOCKET s = WSASocket(AF_INET, SOCK_RAW, IPPROTO_ICMP, nullptr, 0, WSA_FLAG_OVERLAPPED);
    if (s == INVALID_SOCKET) {
        std::printf("raw socket: error %d\n", WSAGetLastError());
        return 1;
    }
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::printf("bind: error %d\n", WSAGetLastError());
        return 1;
    }
    static char buffer[65535];
    WSABUF wsaBuffer = {sizeof buffer, buffer};
    WSAOVERLAPPED overlapped = {};
    overlapped.hEvent = WSACreateEvent();
    DWORD received = 0, flags = 0;
    int rc = WSARecv(s, &wsaBuffer, 1, &received, &flags, &overlapped, nullptr);
    std::printf("WSARecv: %d (error %d)\n", rc, rc ? WSAGetLastError() : 0);
    unsigned char packet[40] = {8, 0};
    unsigned short id = static_cast<unsigned short>(GetCurrentProcessId());
    unsigned short seq = static_cast<unsigned short>(GetTickCount());
    std::memcpy(packet + 4, &id, 2);
    std::memcpy(packet + 6, &seq, 2);
    std::memset(packet + 8, 0x45, 32);
    unsigned short sum = Checksum(packet, sizeof packet);
    std::memcpy(packet + 2, &sum, 2);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = inet_addr(addr);
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    int n = sendto(s, reinterpret_cast<char*>(packet), sizeof packet, 0,
                   reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (n < 0) {
        std::printf("sendto: error %d\n", WSAGetLastError());
        return 1;
    }
    DWORD w = WaitForSingleObject(overlapped.hEvent, waitMs);
    QueryPerformanceCounter(&t1);
    double ms = (t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart;
    if (w == WAIT_OBJECT_0) {
        DWORD got = 0, outFlags = 0;
        BOOL ok = WSAGetOverlappedResult(s, &overlapped, &got, FALSE, &outFlags);
        unsigned char* ip = reinterpret_cast<unsigned char*>(buffer);
        int headerLength = (ip[0] & 15) * 4;
        std::printf("answer after %.2f ms: ok %d, %lu bytes from %u.%u.%u.%u, ICMP type %u\n", ms,
                    ok, got, ip[12], ip[13], ip[14], ip[15], ip[headerLength]);
        closesocket(s);
        return 0;
    }
    std::printf("no answer within %d ms (wait %lu, %.2f ms)\n", waitMs, w, ms);
    closesocket(s);
    return 3;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        std::printf("WSAStartup failed\n");
        return 1;
    }
    int rc;
    const char* what = argv[1];
    if (std::strcmp(what, "adapters") == 0)
        rc = Adapters();
    else if (std::strcmp(what, "hostname") == 0)
        rc = HostName();
    else if (std::strcmp(what, "listen") == 0 && argc == 5)
        rc = Listen(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), false);
    else if (std::strcmp(what, "block") == 0 && argc == 5)
        rc = Listen(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), true);
    else if (std::strcmp(what, "send") == 0 && argc == 5)
        rc = Send(argv[2], std::atoi(argv[3]), argv[4]);
    else if (std::strcmp(what, "ping") == 0 && (argc == 3 || argc == 4))
        rc = Ping(argv[2], argc == 4 ? std::atoi(argv[3]) : 10);
    else
        rc = Usage();
    WSACleanup();
    return rc;
}
