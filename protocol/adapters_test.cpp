// Tests of the adapter tables: field copies, the route table's gateways, this machine's list.
#include "protocol/adapters.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Four numbers of 0 to 255 with dots between. inet_addr cannot tell: it gives 0xFFFFFFFF both
// for text it refuses and for "255.255.255.255", the mask of a /32 interface.
bool IsDottedQuad(const char* text) {
    unsigned v[4];
    char rest;
    return std::sscanf(text, "%3u.%3u.%3u.%3u%c", &v[0], &v[1], &v[2], &v[3], &rest) == 4 &&
           v[0] < 256 && v[1] < 256 && v[2] < 256 && v[3] < 256;
}

TEST(AdapterText, CutToFifteenAndTerminated) {
    char field[ADAPTER_TEXT_SIZE];
    std::memset(field, 'x', sizeof field);
    CopyAdapterText(field, "198.51.100.10");
    EXPECT_STREQ(field, "198.51.100.10");
    EXPECT_EQ(field[15], 0);
    CopyAdapterText(field, "255.255.255.255 and more");
    EXPECT_STREQ(field, "255.255.255.255");
    CopyAdapterText(field, nullptr);
    EXPECT_STREQ(field, "");
}

// Loading reads the local interface list only; it sends nothing.
TEST(AdapterTables, ThisMachinesListIsWellFormed) {
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    std::memset(adapters, 'x', sizeof adapters);
    std::memset(gateways, 'x', sizeof gateways);
    size_t count = LoadAdapterTables(adapters, gateways);
    ASSERT_LE(count, ADAPTER_SLOTS);
    for (size_t k = 0; k < ADAPTER_SLOTS; ++k) {
        for (const char* text : {adapters[k].address, adapters[k].mask, gateways[k]}) {
            ASSERT_NE(std::memchr(text, 0, ADAPTER_TEXT_SIZE), nullptr) << k;
            if (k >= count) {
                EXPECT_STREQ(text, "") << k;
            } else {
                EXPECT_TRUE(IsDottedQuad(text)) << k << ": " << text;
            }
        }
        // there is no loopback adapter in the list
        if (k < count) {
            EXPECT_NE(std::strncmp(adapters[k].address, "127.", 4), 0) << adapters[k].address;
        }
    }
}

#ifndef _WIN32
const char ROUTES[] =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
    "eth1\t00000000\t0101000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
    "eth0\t006433C6\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
    "eth0\t00000000\t016433C6\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
    "eth2\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n"
    "eth3\t00000000\t0201000A\t0002\t0\t0\t0\t00000000\t0\t0\t0\n";

TEST(RouteTable, DefaultGatewayPerInterface) {
    EXPECT_EQ(RouteTableGateway(ROUTES, "eth0"), "198.51.100.1");
    EXPECT_EQ(RouteTableGateway(ROUTES, "eth1"), "10.0.1.1");
    // a default route without a gateway, a route that is down, an interface with no route
    EXPECT_EQ(RouteTableGateway(ROUTES, "eth2"), "0.0.0.0");
    EXPECT_EQ(RouteTableGateway(ROUTES, "eth3"), "0.0.0.0");
    EXPECT_EQ(RouteTableGateway(ROUTES, "wlan0"), "0.0.0.0");
    EXPECT_EQ(RouteTableGateway(ROUTES, "eth"), "0.0.0.0");
    EXPECT_EQ(RouteTableGateway("", "eth0"), "0.0.0.0");
    EXPECT_EQ(RouteTableGateway("Iface\nbroken line\neth0 0", "eth0"), "0.0.0.0");
}
#endif

} // namespace
