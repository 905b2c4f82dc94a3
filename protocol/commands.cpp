// The ten TCP commands: each one connection, one request, one reply, each with its own reply rule.
#include "protocol/channel.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

namespace {

uint32_t StatusOf(const uint8_t* reply) {
    // The reply buffer is zero-filled, so a short reply leaves its missing bytes zero.
    return static_cast<uint32_t>(reply[0]) | static_cast<uint32_t>(reply[1]) << 8 |
           static_cast<uint32_t>(reply[2]) << 16 | static_cast<uint32_t>(reply[3]) << 24;
}

} // namespace

uint32_t CommandChannel::SendStatusCommand(const char* word, const std::string* fields,
                                           uint32_t fieldCount, uint32_t& status) {
    uint8_t request[FRAME_SIZE];
    uint8_t reply[FRAME_SIZE];
    BuildRequestHeader(request, word, fieldCount);
    size_t length = HEADER_SIZE;
    for (uint32_t i = 0; i < fieldCount; ++i)
        length = AppendField(request, length, fields[i]);
    uint32_t rc = Open(COMMAND_PORT, IP_PROTOCOL_TCP, ParseIPv4Address(targetAddress.c_str()));
    if (rc != CMD_OK)
        return rc;
    size_t received = 0;
    rc = Exchange(request, length, reply, &received);
    if (rc != CMD_OK) {
        Close();
        return rc;
    }
    status = StatusOf(reply);
    Close();
    return CMD_OK;
}

uint32_t CommandChannel::SendCrat(const std::string& name, const std::string& password,
                                  uint32_t& status) {
    const std::string fields[] = {name, password};
    return SendStatusCommand("crat", fields, 2, status);
}

uint32_t CommandChannel::SendShar(const std::string& text1, const std::string& text2,
                                  const std::string& text3, uint32_t& status) {
    const std::string fields[] = {text1, text2, text3};
    return SendStatusCommand("shar", fields, 3, status);
}

uint32_t CommandChannel::SendPshr(const std::string& text1, const std::string& text2,
                                  const std::string& text3, uint32_t& status) {
    const std::string fields[] = {text1, text2, text3};
    return SendStatusCommand("pshr", fields, 3, status);
}

uint32_t CommandChannel::SendFrst(uint32_t& status) {
    return SendStatusCommand("frst", nullptr, 0, status);
}

uint32_t CommandChannel::SendHost(const std::string& text2, const std::string& text3,
                                  const std::string& text4) {
    const std::string fields[] = {ClockTextNow(), text2, text3, text4};
    uint32_t status = 0;
    uint32_t rc = SendStatusCommand("host", fields, 4, status);
    return rc != CMD_OK ? rc : status;
}

std::string CommandChannel::SendLsts(uint32_t& status, uint32_t& count) {
    uint8_t request[FRAME_SIZE];
    uint8_t reply[FRAME_SIZE];
    BuildRequestHeader(request, "lsts", 0);
    status = Open(COMMAND_PORT, IP_PROTOCOL_TCP, ParseIPv4Address(targetAddress.c_str()));
    if (status != CMD_OK)
        return std::string();
    size_t received = 0;
    status = Exchange(request, HEADER_SIZE, reply, &received);
    if (status != CMD_OK) {
        Close();
        return std::string();
    }
    std::string text;
    uint32_t value = 0;
    size_t position = ParseReply(reply, received, 0, "lsst", &value, nullptr);
    if (position == NO_POSITION) {
        status = CMD_BAD_REPLY;
    } else {
        count = value;
        size_t end = position;
        while (end < received && reply[end] != 0)
            ++end;
        if (end > position)
            text.assign(reinterpret_cast<const char*>(reply) + position, end - position);
    }
    Close();
    return text;
}

uint32_t CommandChannel::SendSpvt(const uint8_t* data, size_t length) {
    if (length > MAX_SPVT_LENGTH)
        return SPVT_TOO_LONG;
    // The longest frame, 16 + 4082 bytes, is two bytes longer than the usual request buffer.
    uint8_t request[MAX_SPVT_LENGTH + 16];
    uint8_t reply[FRAME_SIZE];
    BuildRequestHeader(request, "spvt", 2);
    std::memset(request + FRAME_SIZE, 0, sizeof request - FRAME_SIZE);
    request[10] = static_cast<uint8_t>(length);
    request[11] = static_cast<uint8_t>(length >> 8);
    request[12] = static_cast<uint8_t>(length >> 16);
    request[13] = static_cast<uint8_t>(length >> 24);
    request[14] = '\n';
    if (length > 0)
        std::memcpy(request + 15, data, length);
    request[15 + length] = '\n';
    uint32_t rc = Open(COMMAND_PORT, IP_PROTOCOL_TCP, ParseIPv4Address(targetAddress.c_str()));
    if (rc != CMD_OK)
        return rc;
    size_t received = 0;
    rc = Exchange(request, 16 + length, reply, &received);
    if (rc != CMD_OK) {
        Close();
        return rc;
    }
    uint32_t status = StatusOf(reply);
    Close();
    return status;
}

uint32_t CommandChannel::SendGub1(StatusBlock& block) {
    uint8_t request[FRAME_SIZE];
    uint8_t reply[FRAME_SIZE];
    BuildRequestHeader(request, "gub1", 0);
    uint32_t rc = Open(COMMAND_PORT, IP_PROTOCOL_TCP, ParseIPv4Address(targetAddress.c_str()));
    if (rc != CMD_OK)
        return rc;
    size_t received = 0;
    rc = ExchangeLong(request, HEADER_SIZE, reply, &received);
    if (rc != CMD_OK) {
        Close();
        return rc;
    }
    TakeStatusBlock(reply, received, block);
    Close();
    return CMD_OK;
}

uint32_t CommandChannel::SendGps1(std::string& shareName) {
    uint8_t request[FRAME_SIZE];
    uint8_t reply[FRAME_SIZE];
    BuildRequestHeader(request, "gps1", 0);
    if (Open(COMMAND_PORT, IP_PROTOCOL_TCP, ParseIPv4Address(targetAddress.c_str())) != CMD_OK)
        return CMD_BAD_REPLY;
    size_t received = 0;
    if (Exchange(request, HEADER_SIZE, reply, &received) != CMD_OK) {
        Close();
        return CMD_BAD_REPLY;
    }
    uint32_t value = 0;
    size_t position = ParseReply(reply, received, 0, "gpsr", &value, nullptr);
    if (position == NO_POSITION) {
        Close();
        return CMD_BAD_REPLY;
    }
    ParseReply(reply, received, position, nullptr, nullptr, &shareName);
    Close();
    return CMD_OK;
}

int CommandChannel::SendGsp1(const std::string& name) {
    uint8_t request[FRAME_SIZE];
    uint8_t reply[FRAME_SIZE];
    BuildRequestHeader(request, "gsp1", 1);
    size_t length = AppendField(request, HEADER_SIZE, name);
    if (Open(COMMAND_PORT, IP_PROTOCOL_TCP, ParseIPv4Address(targetAddress.c_str())) != CMD_OK)
        return -1;
    size_t received = 0;
    if (Exchange(request, length, reply, &received) != CMD_OK) {
        Close();
        return -1;
    }
    uint32_t value = 0;
    size_t position = ParseReply(reply, received, 0, "gspr", &value, nullptr);
    int n = -1;
    if (position != NO_POSITION)
        n = static_cast<int8_t>(position < received ? reply[position] : 0);
    Close();
    return n >= 0 && n <= 3 ? n : -1;
}

bool TakeStatusBlock(const uint8_t* reply, size_t received, StatusBlock& block) {
    if (received < 2 || reply[0] != 'g' || reply[1] != 'u')
        return false;
    block.bytes.reset();
    block.size = 0;
    // Only the low half of the value, the record count, matters here.
    uint32_t count = 0;
    if (received > 5)
        count |= reply[5];
    if (received > 6)
        count |= static_cast<uint32_t>(reply[6]) << 8;
    if (count > 0) {
        size_t end = WalkStatusRecords(reply, received, count);
        size_t size = (end - 5) + 6;
        // Bytes past the received data, the six trailing ones included, are zero.
        block.bytes.reset(new uint8_t[size]());
        size_t available = received > 5 ? received - 5 : 0;
        std::memcpy(block.bytes.get(), reply + 5, available < size ? available : size);
        block.size = size;
    }
    return true;
}

std::string FormatClockText(int year, int month, int day, int hour, int minute, int second) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d%04d.%02d", month, day, hour, minute, year,
                  second);
    return text;
}

std::string ClockTextNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    // The C runtime's localtime keeps its result per thread there; the lock covers other runtimes.
    static std::mutex lock;
    {
        std::lock_guard<std::mutex> hold(lock);
        local = *std::localtime(&now);
    }
#else
    localtime_r(&now, &local);
#endif
    return FormatClockText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec);
}
