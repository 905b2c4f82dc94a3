// The adapter tables from getifaddrs and the kernel's route table, like the Windows adapter list.
#include "protocol/adapters.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sstream>
#include <vector>

namespace {

constexpr unsigned long ROUTE_UP = 0x1;
constexpr unsigned long ROUTE_GATEWAY = 0x2;

struct Interface {
    std::string name;
    std::string address = "0.0.0.0";
    std::string mask = "0.0.0.0";
    bool addressed = false;
};

std::string DottedText(const sockaddr* sa) {
    char text[INET_ADDRSTRLEN] = "0.0.0.0";
    if (sa && sa->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, text, sizeof text);
    return text;
}

} // namespace

std::string RouteTableGateway(const std::string& routeTable, const std::string& interfaceName) {
    std::istringstream lines(routeTable);
    std::string line;
    std::getline(lines, line); // the column names
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, destination, gateway, flags, refs, use, metric, mask;
        if (!(fields >> name >> destination >> gateway >> flags >> refs >> use >> metric >> mask))
            continue;
        if (name != interfaceName)
            continue;
        unsigned long bits = std::strtoul(flags.c_str(), nullptr, 16);
        if (std::strtoul(destination.c_str(), nullptr, 16) != 0 ||
            std::strtoul(mask.c_str(), nullptr, 16) != 0 || !(bits & ROUTE_UP) ||
            !(bits & ROUTE_GATEWAY))
            continue;
        // the kernel prints the network-order address as a number of this machine's order
        uint32_t value = static_cast<uint32_t>(std::strtoul(gateway.c_str(), nullptr, 16));
        in_addr address;
        std::memcpy(&address, &value, sizeof value);
        char text[INET_ADDRSTRLEN];
        if (inet_ntop(AF_INET, &address, text, sizeof text))
            return text;
    }
    return "0.0.0.0";
}

size_t LoadAdapterTables(AdapterEntry (&adapters)[ADAPTER_SLOTS],
                         char (&gateways)[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE]) {
    for (size_t k = 0; k < ADAPTER_SLOTS; ++k) {
        CopyAdapterText(adapters[k].address, "");
        CopyAdapterText(adapters[k].mask, "");
        CopyAdapterText(gateways[k], "");
    }
    ifaddrs* head = nullptr;
    if (getifaddrs(&head) != 0)
        return 0;
    // Interfaces in the order the kernel lists them; Windows' list has no loopback adapter.
    std::vector<Interface> found;
    for (ifaddrs* a = head; a; a = a->ifa_next) {
        if (!a->ifa_name || (a->ifa_flags & IFF_LOOPBACK))
            continue;
        Interface* entry = nullptr;
        for (Interface& known : found) {
            if (known.name == a->ifa_name)
                entry = &known;
        }
        if (!entry) {
            found.push_back(Interface{});
            entry = &found.back();
            entry->name = a->ifa_name;
        }
        if (!entry->addressed && a->ifa_addr && a->ifa_addr->sa_family == AF_INET) {
            entry->address = DottedText(a->ifa_addr);
            entry->mask = DottedText(a->ifa_netmask);
            entry->addressed = true;
        }
    }
    freeifaddrs(head);

    std::string routes;
    std::ifstream file("/proc/net/route");
    if (file) {
        std::ostringstream text;
        text << file.rdbuf();
        routes = text.str();
    }
    size_t count = 0;
    for (const Interface& entry : found) {
        if (count == ADAPTER_SLOTS)
            break;
        CopyAdapterText(adapters[count].address, entry.address.c_str());
        CopyAdapterText(adapters[count].mask, entry.mask.c_str());
        CopyAdapterText(gateways[count], RouteTableGateway(routes, entry.name).c_str());
        ++count;
    }
    return count;
}
