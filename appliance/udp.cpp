// Answers "dscr" with "dsrt" and takes the static address "ipcf" gives, on the lab interface.
#include "appliance/udp.h"

#include "appliance/request.h"
#include "appliance/state.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <mutex>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace appliance {

namespace {

struct Service {
    Options options;
    std::string interfaceName;
    std::string address; // the current one: "ipcf" changes it
    std::string startAddress;
    int socket = -1;
};

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Dotted(in_addr a) {
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

// The default host name tells the hosts apart by their start address: "TOV-100-20".
std::string DefaultName(const std::string& address) {
    std::string name = "TOV";
    size_t first = address.find('.');
    size_t second = first == std::string::npos ? first : address.find('.', first + 1);
    if (second == std::string::npos)
        return name;
    std::string tail = address.substr(second + 1);
    for (char& c : tail)
        if (c == '.')
            c = '-';
    return name + "-" + tail;
}

void SendTo(int fd, const std::string& datagram, uint32_t address, uint16_t port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    sendto(fd, datagram.data(), datagram.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&to),
           sizeof to);
}

// Runs one "ip" command of its own arguments (no shell); true when it succeeded.
bool RunIp(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::vector<std::string> all = {"ip"};
    all.insert(all.end(), args.begin(), args.end());
    for (std::string& a : all)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, "ip", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool SameSubnet(const std::string& a, const std::string& b, int prefix) {
    in_addr x{}, y{};
    if (inet_pton(AF_INET, a.c_str(), &x) != 1 || inet_pton(AF_INET, b.c_str(), &y) != 1)
        return false;
    uint32_t mask = prefix == 0 ? 0 : htonl(0xFFFFFFFFu << (32 - prefix));
    return (x.s_addr & mask) == (y.s_addr & mask);
}

// Takes the static configuration on the interface: address, mask, default route.
uint32_t Apply(Service& s, const std::string& address, const std::string& mask,
               const std::string& gateway) {
    int prefix = MaskPrefixLength(mask);
    in_addr parsed{};
    if (prefix <= 0 || inet_pton(AF_INET, address.c_str(), &parsed) != 1 || !IsLabAddress(address))
        return ERR_BAD_FIELDS;
    const std::string& dev = s.interfaceName;
    if (!RunIp({"addr", "flush", "dev", dev}) ||
        !RunIp({"addr", "add", address + "/" + std::to_string(prefix), "brd", "+", "dev", dev}))
        return ERR_NOT_APPLIED;
    // Limited broadcasts need a way out even where the gateway lies elsewhere.
    bool routed = false;
    if (!gateway.empty() && gateway != "0.0.0.0" && SameSubnet(gateway, address, prefix))
        routed = RunIp({"route", "replace", "default", "via", gateway, "dev", dev});
    if (!routed && !RunIp({"route", "replace", "default", "dev", dev}))
        return ERR_NOT_APPLIED;
    s.address = address;
    std::ofstream out(s.options.state + "/address", std::ios::trunc);
    out << address << "\n";
    return 0;
}

void Journal(const Service& s, const std::string& from, const std::string& to,
             const std::string& datagram) {
    std::ofstream out(s.options.state + "/udp-journal", std::ios::app);
    out << from << " " << to << " " << Hex(datagram) << "\n";
}

void Answer(Service& s, const std::string& datagram, const sockaddr_in& from) {
    Request request;
    size_t used = 0;
    if (ParseRequest(reinterpret_cast<const uint8_t*>(datagram.data()), datagram.size(), &request,
                     &used) != ParseOutcome::Complete)
        return; // not a request: an appliance says nothing to noise
    StateFolder state(s.options.state);
    std::vector<Fault> faults = s.options.faults;
    for (const Fault& f : LoadFaultFile(s.options.state + "/faults"))
        faults.push_back(f);
    std::string name = state.Setting(
        "hostname", s.options.name.empty() ? DefaultName(s.startAddress) : s.options.name);
    std::string detail = state.Setting("detail", "Shared Storage drive");

    if (request.word == "dscr") {
        if (request.fields.size() != 1)
            return;
        uint32_t mode = ReadLE32(request.fields[0]);
        if (mode != 1 && mode != 2)
            return;
        std::string base = NamedReply("dsrt", 3, name + "\n" + s.address + "\n" + detail + "\n");
        Plan plan = MakePlan(faults, "dscr", base);
        if (plan.drop)
            return;
        if (plan.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(plan.delayMs));
        std::vector<std::string> answers = plan.replaced
                                               ? std::vector<std::string>{plan.reply}
                                               : DiscoveryAnswers(name, s.address, detail, plan);
        size_t sent = 0;
        for (const std::string& a : answers) {
            // A burst of hundreds must not overrun the client's receive buffer.
            if (++sent % 16 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            if (mode == 1)
                SendTo(s.socket, a, from.sin_addr.s_addr, ntohs(from.sin_port));
            else
                SendTo(s.socket, a, INADDR_BROADCAST, REPLY_PORT);
        }
        return;
    }
    if (request.word == "ipcf") {
        // Meant for another appliance: not a word.
        if (request.fields.empty() || request.fields[0] != s.address)
            return;
        Plan plan = MakePlan(faults, "ipcf", std::string());
        if (plan.drop)
            return;
        if (plan.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(plan.delayMs));
        std::string reply;
        if (plan.replaced) {
            reply = plan.reply;
        } else if (request.fields.size() != 6 || request.fields[2] != "static") {
            reply = ErroReply(ERR_BAD_FIELDS);
        } else {
            uint32_t status = Apply(s, request.fields[3], request.fields[4], request.fields[5]);
            reply = status != 0
                        ? ErroReply(status)
                        : NamedReply("dsrt", 3, name + "\n" + s.address + "\n" + detail + "\n");
        }
        SendTo(s.socket, reply, INADDR_BROADCAST, REPLY_PORT);
    }
}

void Run(Service* s) {
    for (;;) {
        char buffer[8192];
        char control[256];
        iovec io{buffer, sizeof buffer};
        sockaddr_in from{};
        msghdr m{};
        m.msg_name = &from;
        m.msg_namelen = sizeof from;
        m.msg_iov = &io;
        m.msg_iovlen = 1;
        m.msg_control = control;
        m.msg_controllen = sizeof control;
        ssize_t n = recvmsg(s->socket, &m, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        std::string to = "?";
        for (cmsghdr* c = CMSG_FIRSTHDR(&m); c; c = CMSG_NXTHDR(&m, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                in_pktinfo info;
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                to = Dotted(info.ipi_addr);
            }
        }
        std::string datagram(buffer, static_cast<size_t>(n));
        Journal(*s, Dotted(from.sin_addr) + ":" + std::to_string(ntohs(from.sin_port)), to,
                datagram);
        Answer(*s, datagram, from);
    }
}

} // namespace

bool IsLabAddress(const std::string& address) {
    in_addr a{};
    if (inet_pton(AF_INET, address.c_str(), &a) != 1)
        return false;
    uint32_t host = ntohl(a.s_addr);
    return (host >> 8) == 0xC63364 || (host >> 8) == 0xCB0071; // 198.51.100 and 203.0.113
}

bool FindInterface(const std::string& address, std::string* name, int* prefixLength) {
    in_addr wanted{};
    if (inet_pton(AF_INET, address.c_str(), &wanted) != 1)
        return false;
    ifaddrs* head = nullptr;
    if (getifaddrs(&head) != 0)
        return false;
    bool found = false;
    for (ifaddrs* a = head; a && !found; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET)
            continue;
        if (reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr != wanted.s_addr)
            continue;
        *name = a->ifa_name;
        *prefixLength =
            a->ifa_netmask
                ? MaskPrefixLength(Dotted(reinterpret_cast<sockaddr_in*>(a->ifa_netmask)->sin_addr))
                : 32;
        found = true;
    }
    freeifaddrs(head);
    return found;
}

int MaskPrefixLength(const std::string& mask) {
    in_addr m{};
    if (inet_pton(AF_INET, mask.c_str(), &m) != 1)
        return -1;
    uint32_t bits = ntohl(m.s_addr);
    int prefix = 0;
    while (prefix < 32 && (bits & (0x80000000u >> prefix)))
        ++prefix;
    uint32_t expected = prefix == 0 ? 0 : 0xFFFFFFFFu << (32 - prefix);
    return bits == expected ? prefix : -1;
}

std::vector<std::string> DiscoveryAnswers(const std::string& hostName, const std::string& address,
                                          const std::string& detail, const Plan& plan) {
    std::vector<std::string> names;
    if (plan.many == 0) {
        names.push_back(hostName);
    } else {
        for (uint64_t i = 1; i <= plan.many; ++i) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "-%04u", static_cast<unsigned>(i));
            names.push_back(hostName + suffix);
        }
    }
    if (plan.cased) {
        std::string lower = hostName;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names.push_back(lower);
    }
    std::vector<std::string> answers;
    for (const std::string& n : names) {
        std::string body = n + "\n" + address + "\n" + detail + (plan.open ? "" : "\n");
        std::string a = NamedReply("dsrt", plan.hasValue ? plan.value : 3, body);
        answers.push_back(a);
        if (plan.twice)
            answers.push_back(a);
    }
    return answers;
}

bool StartUdpService(const Options& options, std::string* error) {
    if (!IsLabAddress(options.listen)) {
        *error = "the UDP side serves only on the network lab's addresses";
        return false;
    }
    auto* s = new Service;
    s->options = options;
    s->address = options.listen;
    s->startAddress = options.listen;
    int prefix = 0;
    if (!FindInterface(options.listen, &s->interfaceName, &prefix)) {
        *error = "no interface holds " + options.listen;
        delete s;
        return false;
    }
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int one = 1;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(APPLIANCE_PORT);
    sa.sin_addr.s_addr = INADDR_ANY;
    // Broadcasts reach only wildcard-bound sockets; the device keeps it to the lab's interface.
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
        setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0 ||
        setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof one) != 0 ||
        setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, s->interfaceName.c_str(),
                   static_cast<socklen_t>(s->interfaceName.size() + 1)) != 0 ||
        bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        *error = std::string("cannot serve UDP port 4301: ") + std::strerror(errno);
        if (fd >= 0)
            close(fd);
        delete s;
        return false;
    }
    s->socket = fd;
    // An address given by "ipcf" lasts only as long as the process that took it.
    std::remove((options.state + "/address").c_str());
    // Lives as long as the process, which ends with _exit.
    std::thread(Run, s).detach();
    return true;
}

} // namespace appliance
