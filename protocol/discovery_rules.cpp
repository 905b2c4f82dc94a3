// The rules discovery and reconfiguration follow, free of sockets: addresses, requests, replies.
#include "protocol/discovery_rules.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

uint8_t ByteAt(const uint8_t* data, size_t length, size_t offset) {
    return offset < length ? data[offset] : 0;
}

// The receive buffer is zero-filled, so bytes past the datagram read as zero.
uint32_t ValueAt(const uint8_t* data, size_t length, size_t offset) {
    return static_cast<uint32_t>(ByteAt(data, length, offset)) |
           static_cast<uint32_t>(ByteAt(data, length, offset + 1)) << 8 |
           static_cast<uint32_t>(ByteAt(data, length, offset + 2)) << 16 |
           static_cast<uint32_t>(ByteAt(data, length, offset + 3)) << 24;
}

bool BeginsWith(const uint8_t* data, size_t length, const char* word) {
    size_t n = std::strlen(word);
    return length >= n && std::memcmp(data, word, n) == 0;
}

// One body line from *position: up to its newline (consumed), a zero byte or the end of the data.
// Returns whether a newline ended it.
bool ReadLine(const uint8_t* data, size_t length, size_t* position, std::string* line) {
    size_t start = *position;
    size_t end = start;
    while (end < length && data[end] != '\n' && data[end] != 0)
        ++end;
    line->assign(reinterpret_cast<const char*>(data) + start, end - start);
    bool newline = end < length && data[end] == '\n';
    *position = newline ? end + 1 : end;
    return newline;
}

} // namespace

int ReadOctetValue(const char* text) {
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // Saturates instead of overflowing; no address or mask text comes near the limit.
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value < 0x7FFFFFFF)
            value = value * 10 + (*p - '0');
    }
    if (value > 0x7FFFFFFF)
        value = 0x7FFFFFFF;
    return static_cast<int>(negative ? -value : value);
}

void ReadOctets(const char* text, int octets[4]) {
    const char* p = text;
    for (int k = 0; k < 4; ++k) {
        octets[k] = p ? ReadOctetValue(p) : 0;
        if (p) {
            p = std::strchr(p, '.');
            if (p)
                ++p;
        }
    }
}

std::string DirectedBroadcastText(const char* address, const char* mask) {
    int a[4], m[4];
    ReadOctets(address, a);
    ReadOctets(mask, m);
    std::string text;
    for (int k = 0; k < 4; ++k) {
        if (k)
            text += '.';
        text += std::to_string(a[k] | (m[k] ^ 255));
    }
    return text;
}

bool OnLocalSubnet(const AdapterEntry* adapters, size_t count, const char* address) {
    int t[4];
    ReadOctets(address, t);
    for (size_t i = 0; i < count; ++i) {
        int a[4], m[4];
        ReadOctets(adapters[i].address, a);
        ReadOctets(adapters[i].mask, m);
        bool match = true;
        for (int k = 0; k < 4; ++k)
            match = match && (a[k] & m[k]) == (t[k] & m[k]);
        if (match)
            return true;
    }
    return false;
}

int FirstAddressedAdapter(const AdapterEntry* adapters, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (std::strcmp(adapters[i].address, "0.0.0.0") != 0)
            return static_cast<int>(i);
    }
    return -1;
}

size_t BuildDiscoverRequest(uint8_t* buffer, uint32_t mode) {
    CommandChannel::BuildRequestHeader(buffer, "dscr", 1);
    const char value[4] = {static_cast<char>(mode & 0xFF), static_cast<char>((mode >> 8) & 0xFF),
                           static_cast<char>((mode >> 16) & 0xFF),
                           static_cast<char>((mode >> 24) & 0xFF)};
    return CommandChannel::AppendField(buffer, HEADER_SIZE, std::string(value, 4));
}

size_t BuildReconfigureRequest(uint8_t* buffer, const std::string& target,
                               const std::string& address, const std::string& mask,
                               const std::string& gateway) {
    CommandChannel::BuildRequestHeader(buffer, "ipcf", 6);
    // the second field stays empty; the third names the kind of configuration
    const std::string fields[6] = {target, std::string(), "static", address, mask, gateway};
    size_t position = HEADER_SIZE;
    for (const std::string& field : fields)
        position = CommandChannel::AppendField(buffer, position, field);
    return position;
}

bool ParseDiscoveryReply(const uint8_t* reply, size_t length, ApplianceRecord* record,
                         uint32_t* lastError) {
    if (BeginsWith(reply, length, "dsrt")) {
        if (ByteAt(reply, length, 4) != ' ' || ValueAt(reply, length, 5) != 3)
            return false;
        size_t position = HEADER_SIZE;
        ApplianceRecord parsed;
        // The first two lines must end at their newline: a cut reply would give an appliance
        // without an address to talk to.
        if (!ReadLine(reply, length, &position, &parsed.hostName))
            return false;
        if (!ReadLine(reply, length, &position, &parsed.ipAddress))
            return false;
        ReadLine(reply, length, &position, &parsed.detail);
        *record = std::move(parsed);
        return true;
    }
    if (BeginsWith(reply, length, "erro"))
        *lastError = ValueAt(reply, length, 5);
    else
        *lastError = ValueAt(reply, length, 0);
    return false;
}

bool HasHostName(const ApplianceRecord* records, size_t count, const std::string& hostName) {
    for (size_t i = 0; i < count; ++i) {
        if (records[i].hostName == hostName)
            return true;
    }
    return false;
}

ReplyOutcome TakeDiscoveryReply(ApplianceRecord* records, uint32_t* recordCount,
                                const uint8_t* reply, size_t length, uint32_t* lastError) {
    ApplianceRecord parsed;
    if (!ParseDiscoveryReply(reply, length, &parsed, lastError))
        return ReplyOutcome::Unusable;
    if (HasHostName(records, *recordCount, parsed.hostName))
        return ReplyOutcome::Duplicate;
    if (*recordCount >= RECORD_SLOTS)
        return ReplyOutcome::TableFull;
    records[*recordCount] = std::move(parsed);
    ++*recordCount;
    return ReplyOutcome::Added;
}

int FindFreeHost(const AdapterEntry* adapters, size_t count, AddressProbe& probe,
                 std::string* address) {
    int found = -1;
    for (size_t k = 0; k < count; ++k) {
        std::string prefix = adapters[k].address;
        size_t dot = prefix.rfind('.');
        if (dot != std::string::npos)
            prefix.erase(dot);
        if (!probe.Start())
            break;
        for (int host = FIRST_FREE_HOST; host >= LAST_FREE_HOST; --host) {
            std::string candidate = prefix + "." + std::to_string(host);
            int result = probe.Probe(candidate);
            if (result == PROBE_FAILED)
                break;
            if (result == PROBE_NO_ANSWER) {
                *address = candidate;
                found = static_cast<int>(k);
                break;
            }
        }
        probe.Release();
    }
    return found;
}
