// tovctl's lab guard over the adapter tables.
#include "tovctl/lab_guard.h"

#include "protocol/adapters.h"

#include <cstring>

bool InsideNetworkLab(std::string* why) {
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    size_t count = LoadAdapterTables(adapters, gateways);
    for (size_t k = 0; k < count; ++k) {
        const char* a = adapters[k].address;
        if (std::strcmp(a, "0.0.0.0") == 0)
            continue;
        if (std::strncmp(a, "198.51.100.", 11) != 0 && std::strncmp(a, "203.0.113.", 10) != 0) {
            *why = std::string("this computer has the adapter address ") + a;
            return false;
        }
    }
    return true;
}
