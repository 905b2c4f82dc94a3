// The rules discovery and reconfiguration follow, free of sockets: addresses, requests, replies.
#pragma once

#include "protocol/channel.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t SCAN_UNICAST = 1;
constexpr uint32_t SCAN_BROADCAST = 2;
constexpr size_t DISCOVER_REQUEST_SIZE = 15;
constexpr int FIRST_FREE_HOST = 250;
constexpr int LAST_FREE_HOST = 2;

// Echo probe results, as the free-address search reads them.
constexpr int PROBE_NO_ANSWER = 0;
constexpr int PROBE_ANSWERED = 1;
constexpr int PROBE_FAILED = 2;

// One octet as the subnet test reads it: leading blanks, an optional sign, then the digits up to
// the first other character; no digits give 0.
int ReadOctetValue(const char* text);

// The four octets of a dotted text, each read up to the next "."; missing octets are 0.
void ReadOctets(const char* text, int octets[4]);

// The subnet's directed broadcast: each address octet OR (its mask octet XOR 255), in decimal,
// joined with ".".
std::string DirectedBroadcastText(const char* address, const char* mask);

// True when address lies in the subnet of one of the first count adapters.
bool OnLocalSubnet(const AdapterEntry* adapters, size_t count, const char* address);

// The first of the first count adapters whose address is not "0.0.0.0", or -1.
int FirstAddressedAdapter(const AdapterEntry* adapters, size_t count);

// Writes the 15-byte "dscr" request into the 4096-byte buffer; returns its length.
size_t BuildDiscoverRequest(uint8_t* buffer, uint32_t mode);

// Writes the "ipcf" request that gives the appliance at target the static address, mask and
// gateway; returns its length.
size_t BuildReconfigureRequest(uint8_t* buffer, const std::string& target,
                               const std::string& address, const std::string& mask,
                               const std::string& gateway);

// Reads a "dsrt" reply of length bytes into *record; true on success. An "erro" reply sets
// *lastError to its code, any other reply but "dsrt" to its first 4 bytes (little-endian); a
// "dsrt" reply without its space, with a value other than 3 or with its first two lines
// unterminated leaves *lastError alone. Nothing past length is read.
bool ParseDiscoveryReply(const uint8_t* reply, size_t length, ApplianceRecord* record,
                         uint32_t* lastError);

// True when one of the first count records has this hostName (exact, case-sensitive).
bool HasHostName(const ApplianceRecord* records, size_t count, const std::string& hostName);

enum class ReplyOutcome {
    Added,     // a new appliance: records[*recordCount - 1] holds it
    Unusable,  // not a usable "dsrt" reply (lastError may have changed)
    Duplicate, // an appliance already in the table
    TableFull, // a new appliance, but every slot is taken: dropped
};

// Takes one discovery reply into the table of RECORD_SLOTS records holding *recordCount.
ReplyOutcome TakeDiscoveryReply(ApplianceRecord* records, uint32_t* recordCount,
                                const uint8_t* reply, size_t length, uint32_t* lastError);

// What the free-address search needs of the echo probe and its sockets start-up.
class AddressProbe {
public:
    virtual ~AddressProbe() = default;
    // Starts the sockets for one adapter's probes; false stops the whole search.
    virtual bool Start() = 0;
    virtual void Release() = 0;
    // PROBE_NO_ANSWER, PROBE_ANSWERED or PROBE_FAILED.
    virtual int Probe(const std::string& address) = 0;
};

// Looks for an address that nothing answers in each adapter's subnet, from host 250 down to 2.
// Returns the index of the last adapter that yielded one (its address in *address), or -1.
int FindFreeHost(const AdapterEntry* adapters, size_t count, AddressProbe& probe,
                 std::string* address);
