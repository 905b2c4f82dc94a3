// The command transport: sockets session, request frames, the blocking reply read, reply shapes.
#include "protocol/channel.h"

#include <cstring>

namespace {

// The byte at offset, or the zero that follows the data in the zero-filled reply buffer.
uint8_t ByteAt(const uint8_t* data, size_t length, size_t offset) {
    return offset < length ? data[offset] : 0;
}

uint32_t ValueAt(const uint8_t* data, size_t length, size_t offset) {
    return static_cast<uint32_t>(ByteAt(data, length, offset)) |
           static_cast<uint32_t>(ByteAt(data, length, offset + 1)) << 8 |
           static_cast<uint32_t>(ByteAt(data, length, offset + 2)) << 16 |
           static_cast<uint32_t>(ByteAt(data, length, offset + 3)) << 24;
}

bool BeginsWith(const uint8_t* data, size_t length, const char* word) {
    size_t n = std::strlen(word);
    if (length < n)
        return false;
    return std::memcmp(data, word, n) == 0;
}

} // namespace

CommandChannel::CommandChannel()
    : recordCount(0), records(new ApplianceRecord[RECORD_SLOTS]), notifyWindow(nullptr),
      doneEvent(nullptr), socket(INVALID_SOCKET_HANDLE), adapters(), gateways(), targetAddress(),
      lastError(0), lastCommand(), freeAddress(), listener(), listenerAbandoned(false),
      listenerLock(), listenerChanged(), listenerReady(false), listenerDone(false) {}

CommandChannel::~CommandChannel() {
    // A listener works on this channel's records and event: it ends before they go.
    StopListener();
    if (doneEvent)
        EventClose(doneEvent);
}

void CommandChannel::SetTarget(const std::string& address) {
    targetAddress = address;
    notifyWindow = nullptr;
}

uint32_t CommandChannel::Open(uint16_t port, int protocol, uint32_t address) {
    uint32_t startError = 0;
    if (!SocketsStart(&startError)) {
        lastError = startError;
        return CMD_STARTUP_FAILED;
    }
    socket = SocketCreate(protocol);
    if (socket == INVALID_SOCKET_HANDLE) {
        lastError = SocketsLastError();
        SocketsRelease();
        return CMD_SOCKET_ERROR;
    }
    bool ok;
    if (protocol == IP_PROTOCOL_UDP)
        ok = SocketBind(socket, address, port) && SocketSetBroadcast(socket, true);
    else
        ok = SocketConnect(socket, address, port);
    if (!ok) {
        lastError = SocketsLastError();
        Close();
        return CMD_SOCKET_ERROR;
    }
    return CMD_OK;
}

void CommandChannel::Close() {
    if (socket != INVALID_SOCKET_HANDLE) {
        SocketClose(socket);
        socket = INVALID_SOCKET_HANDLE;
    }
    SocketsRelease();
}

int CommandChannel::WaitReadable(SocketHandle s, unsigned seconds) {
    if (!abandoned || seconds == 0)
        return SocketWaitReadable(s, seconds);
    for (unsigned waited = 0; waited < seconds; ++waited) {
        if (abandoned())
            return 0;
        const int ready = SocketWaitReadable(s, 1);
        if (ready != 0)
            return ready;
    }
    return 0;
}

uint32_t CommandChannel::Receive(SocketHandle s, uint8_t* buffer, unsigned seconds, bool oneRead,
                                 size_t* received) {
    size_t position = 0;
    *received = 0;
    // A read writes no byte past its count, so one zero-fill here leaves the room after the data
    // zero-filled before every read, as the parsers expect of the reply buffer.
    std::memset(buffer, 0, FRAME_SIZE);
    for (;;) {
        size_t room = FRAME_SIZE - position;
        // Once a reply has begun, the rest (or the close that ends it) is often there already:
        // take it without a wait. The first read waits, since the appliance has to answer first.
        long count =
            position > 0 ? SocketReceiveReady(s, buffer + position, room) : SOCKET_NOTHING_YET;
        if (count == SOCKET_NOTHING_YET) {
            int ready = WaitReadable(s, seconds);
            if (ready < 0) {
                lastError = SocketsLastError();
                return CMD_SOCKET_ERROR;
            }
            if (ready == 0) {
                lastError = 0;
                return CMD_TIMEOUT;
            }
            count = SocketReceive(s, buffer + position, room);
        }
        if (count < 0) {
            lastError = SocketsLastError();
            return CMD_SOCKET_ERROR;
        }
        position += static_cast<size_t>(count);
        *received = position;
        // A TCP reply ends when the appliance closes its side; a longer one is cut at the buffer.
        if (count == 0 || oneRead)
            return CMD_OK;
    }
}

uint32_t CommandChannel::Exchange(const uint8_t* request, size_t length, uint8_t* reply,
                                  size_t* received) {
    *received = 0;
    if (SocketSend(socket, request, length) < 0) {
        lastError = SocketsLastError();
        return CMD_SOCKET_ERROR;
    }
    return Receive(socket, reply, ReplySeconds(REPLY_SECONDS), false, received);
}

uint32_t CommandChannel::ExchangeLong(const uint8_t* request, size_t length, uint8_t* reply,
                                      size_t* received) {
    *received = 0;
    if (SocketSend(socket, request, length) < 0) {
        lastError = SocketsLastError();
        return CMD_SOCKET_ERROR;
    }
    return Receive(socket, reply, ReplySeconds(LONG_REPLY_SECONDS), false, received);
}

void CommandChannel::BuildRequestHeader(uint8_t* buffer, const char* word, uint32_t fieldCount) {
    std::memset(buffer, 0, FRAME_SIZE);
    std::memcpy(buffer, word, 4);
    buffer[4] = ' ';
    buffer[5] = static_cast<uint8_t>(fieldCount);
    buffer[6] = static_cast<uint8_t>(fieldCount >> 8);
    buffer[7] = static_cast<uint8_t>(fieldCount >> 16);
    buffer[8] = static_cast<uint8_t>(fieldCount >> 24);
    buffer[9] = '\n';
}

size_t CommandChannel::AppendField(uint8_t* buffer, size_t position, const std::string& text) {
    // Callers bound their fields; a text that would not fit is cut so the frame stays in bounds.
    size_t n = text.size();
    if (position >= FRAME_SIZE)
        return FRAME_SIZE;
    if (n > FRAME_SIZE - position - 1)
        n = FRAME_SIZE - position - 1;
    std::memcpy(buffer + position, text.data(), n);
    buffer[position + n] = '\n';
    return position + n + 1;
}

size_t CommandChannel::ParseReply(const uint8_t* reply, size_t length, size_t position,
                                  const char* expectedWord, uint32_t* value, std::string* lineOut) {
    if (expectedWord) {
        size_t n = std::strlen(expectedWord);
        if (BeginsWith(reply, length, expectedWord) && ByteAt(reply, length, n) == ' ') {
            *value = ValueAt(reply, length, 5);
            return HEADER_SIZE;
        }
        if (BeginsWith(reply, length, "erro")) {
            *value = ValueAt(reply, length, 5);
            return 5;
        }
        return NO_POSITION;
    }
    size_t end = position;
    while (end < length && reply[end] != '\n' && reply[end] != 0)
        ++end;
    if (lineOut) {
        if (position < end)
            lineOut->assign(reinterpret_cast<const char*>(reply) + position, end - position);
        else
            lineOut->clear();
    }
    return end < length ? end + 1 : (position < length ? length : position);
}

size_t WalkStatusRecords(const uint8_t* reply, size_t length, uint32_t count) {
    size_t position = HEADER_SIZE;
    if (length <= position)
        return position;
    for (uint32_t i = 0; i < count && position < length; ++i) {
        position += 12;
        size_t passed = 0;
        while (position < length && passed < 32 && reply[position] != '\n') {
            ++position;
            ++passed;
        }
        position += 1;
        if (position > length)
            position = length;
    }
    return position > length ? length : position;
}

std::vector<std::string> ListedAccounts(const std::string& text, uint32_t count) {
    std::vector<std::string> names;
    size_t position = 0;
    for (uint32_t i = 0; i < count && position < text.size(); ++i) {
        size_t end = text.find('\n', position);
        if (end == std::string::npos)
            end = text.size();
        names.push_back(text.substr(position, end - position));
        position = end + 1;
        if (position >= text.size())
            break;
        // The second line of an entry is not used.
        end = text.find('\n', position);
        position = end == std::string::npos ? text.size() : end + 1;
    }
    return names;
}
