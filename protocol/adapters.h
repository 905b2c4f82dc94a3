// This computer's network adapters as discovery sees them: address, mask and gateway texts.
#pragma once

#include "protocol/channel.h"

#include <cstddef>
#include <cstring>
#include <string>

constexpr size_t ADAPTER_TEXT_SIZE = 16;

// Fills the tables with the first address, its mask and the first gateway of each adapter in
// the platform's list order, at most ADAPTER_SLOTS of them; an adapter without an address reports
// "0.0.0.0". Slots past the count are left empty. Returns the count (0 when the list cannot be
// had).
size_t LoadAdapterTables(AdapterEntry (&adapters)[ADAPTER_SLOTS],
                         char (&gateways)[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE]);

// Copies a dotted text into a 16-byte field, cut to 15 characters and zero-terminated.
inline void CopyAdapterText(char (&field)[ADAPTER_TEXT_SIZE], const char* text) {
    std::memset(field, 0, ADAPTER_TEXT_SIZE);
    if (!text)
        return;
    size_t n = std::strlen(text);
    if (n > ADAPTER_TEXT_SIZE - 1)
        n = ADAPTER_TEXT_SIZE - 1;
    std::memcpy(field, text, n);
}

// The default gateway of one interface in the text of /proc/net/route, as dotted text, or
// "0.0.0.0" when that interface has none.
std::string RouteTableGateway(const std::string& routeTable, const std::string& interfaceName);
