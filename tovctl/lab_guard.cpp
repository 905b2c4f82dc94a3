// tovctl's lab guard over the adapter tables and the sockets' own routes.
#include "tovctl/lab_guard.h"

#include "protocol/adapters.h"
#include "protocol/discovery_rules.h"
#include "protocol/sockets.h"

#include <cstring>

namespace {

bool IsLabAddress(const char* a) {
    return std::strncmp(a, "198.51.100.", 11) == 0 || std::strncmp(a, "203.0.113.", 10) == 0;
}

} // namespace

bool InsideNetworkLab(const std::vector<std::string>& targets, std::string* why) {
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    size_t count = LoadAdapterTables(adapters, gateways);
    std::vector<std::string> own;
    std::vector<std::string> destinations = {"255.255.255.255"};
    for (size_t k = 0; k < count; ++k) {
        const char* a = adapters[k].address;
        if (std::strcmp(a, "0.0.0.0") == 0)
            continue;
        if (!IsLabAddress(a)) {
            *why = std::string("this computer has the adapter address ") + a;
            return false;
        }
        own.push_back(a);
        destinations.push_back(DirectedBroadcastText(a, adapters[k].mask));
    }
    if (own.empty()) {
        *why = "no adapter has an address";
        return false;
    }
    for (const std::string& t : targets)
        if (ParseIPv4Address(t.c_str()) != 0xFFFFFFFF || t == "255.255.255.255")
            destinations.push_back(t);
    uint32_t error = 0;
    if (!SocketsStart(&error)) {
        *why = "the sockets did not start: " + std::to_string(error);
        return false;
    }
    std::vector<std::string> sources;
    for (const std::string& d : destinations)
        sources.push_back(RoutedSourceAddress(ParseIPv4Address(d.c_str())));
    SocketsRelease();
    for (size_t i = 0; i < destinations.size(); ++i) {
        const std::string& d = destinations[i];
        const std::string& source = sources[i];
        bool fromOwn = false;
        for (const std::string& a : own)
            fromOwn = fromOwn || a == source;
        if (!fromOwn) {
            *why = "the sockets would send to " + d + " from " +
                   (source.empty() ? std::string("nowhere (no route)") : "\"" + source + "\"") +
                   ", not from a lab adapter (under Wine: the wineserver runs outside the lab)";
            return false;
        }
    }
    return true;
}
