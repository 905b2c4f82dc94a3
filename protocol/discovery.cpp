// Discovery and reconfiguration: the "dscr" scans, the broadcast listener and "ipcf".
#include "protocol/adapters.h"
#include "protocol/channel.h"
#include "protocol/discovery_rules.h"
#include "protocol/echo_probe.h"
#include "protocol/listener_socket.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace {

using Clock = std::chrono::steady_clock;

// "DONE_BC" is one kernel event for every channel of every process, so a signal may come from
// another channel's listener (or from a listener of ours that was given up), and another waiter
// may take ours. The waiting thread therefore looks at its own listener's state at least this
// often instead of trusting the event alone.
constexpr uint32_t WAIT_SLICE_MILLISECONDS = 250;

void SetWord(char (&field)[8], const char* word) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, word, std::min(std::strlen(word), sizeof field - 1));
}

uint32_t MillisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() <= 0 ? 0 : static_cast<uint32_t>(left.count()) + 1;
}

} // namespace

uint32_t CommandChannel::Discover(uint32_t mode) {
    recordCount = 0;
    // A failed open does not stop the scan: the adapter check still runs, and the send fails.
    bool open = Open(0, IP_PROTOCOL_UDP, ANY_ADDRESS) == CMD_OK;
    uint8_t request[FRAME_SIZE];
    size_t length = BuildDiscoverRequest(request, mode);
    SetWord(lastCommand, "dscr");
    uint32_t result = ScanExchange(COMMAND_PORT, request, length, BROADCAST_ADDRESS, mode, 2);
    if (open)
        Close();
    return result;
}

uint32_t CommandChannel::ScanExchange(uint16_t port, const uint8_t* request, size_t length,
                                      uint32_t destination, uint32_t mode, unsigned passes) {
    uint32_t result = CMD_OK;
    size_t count = LoadAdapters();
    int first = FirstAddressedAdapter(adapters, count);
    if (first < 0)
        return CMD_NO_ADAPTER;
    if (mode == SCAN_UNICAST) {
        std::string directed = DirectedBroadcastText(adapters[first].address, adapters[first].mask);
        destination = ParseIPv4Address(directed.c_str());
    }
    if (!doneEvent)
        doneEvent = EventCreate("DONE_BC");

    for (unsigned pass = 0; pass < passes; ++pass) {
        lastError = 0;
        if (mode == SCAN_BROADCAST) {
            Clock::time_point deadline =
                Clock::now() +
                std::chrono::milliseconds(ListenerWaitMilliseconds(LISTENER_WAIT_MILLISECONDS));
            StartListener(REPLY_PORT);
            // Replies come back within a millisecond or so: the request goes out once the
            // listener is there to hear them.
            WaitListenerReady(deadline);
            if (SocketSendTo(socket, request, length, destination, port) < 0) {
                uint32_t error = SocketsLastError();
                StopListener();
                lastError = error;
                return CMD_SOCKET_ERROR;
            }
            WaitListenerDone(deadline);
            StopListener();
            if (lastError != 0)
                result = 1;
            continue;
        }
        if (SocketSendTo(socket, request, length, destination, port) < 0) {
            lastError = SocketsLastError();
            return CMD_SOCKET_ERROR;
        }
        uint8_t reply[FRAME_SIZE];
        for (;;) {
            size_t received = 0;
            if (Receive(socket, reply, ReplySeconds(QUIET_SECONDS), true, &received) != CMD_OK) {
                result = CMD_TIMEOUT;
                break;
            }
            if (TakeDiscoveryReply(records.get(), &recordCount, reply, received, &lastError) ==
                ReplyOutcome::Added)
                PostFound(records[recordCount - 1]);
        }
    }
    return result;
}

void CommandChannel::ListenForReplies(uint16_t port) {
    ListenerStarted();
    SocketHandle s = SocketCreate(IP_PROTOCOL_UDP);
    bool bound = false;
    if (s == INVALID_SOCKET_HANDLE) {
        lastError = SocketsLastError();
    } else if (!SocketSetReuseAddress(s, true)) {
        lastError = SocketsLastError();
    } else {
        // A failed bind leaves lastError as it was: the pass then ends with nothing and 0.
        uint32_t address = 0;
        bound = HostNameAddress(&address) && SocketBindAdapter(s, address, port);
    }
    {
        std::lock_guard<std::mutex> hold(listenerLock);
        listenerReady = true;
    }
    listenerChanged.notify_all();

    if (bound) {
        uint8_t reply[FRAME_SIZE];
        size_t received = 0;
        if (std::strcmp(lastCommand, "ipcf") == 0) {
            if (Receive(s, reply, ReplySeconds(RECONFIGURE_SECONDS), true, &received) == CMD_OK) {
                ListenerReceived();
                if (!listenerAbandoned)
                    ParseFoundReply(reply, received);
            }
        } else {
            while (Receive(s, reply, ReplySeconds(QUIET_SECONDS), true, &received) == CMD_OK) {
                ListenerReceived();
                // The pass has given up: what comes now is nobody's.
                if (listenerAbandoned)
                    break;
                if (recordCount < RECORD_SLOTS)
                    records[recordCount] = ApplianceRecord();
                if (TakeDiscoveryReply(records.get(), &recordCount, reply, received, &lastError) ==
                    ReplyOutcome::Added)
                    PostFound(records[recordCount - 1]);
            }
        }
    }
    if (s != INVALID_SOCKET_HANDLE)
        SocketClose(s);
    {
        std::lock_guard<std::mutex> hold(listenerLock);
        listenerDone = true;
    }
    listenerChanged.notify_all();
    if (doneEvent)
        EventSignal(doneEvent);
    ListenerEnded();
}

int CommandChannel::ParseFoundReply(const uint8_t* reply, size_t length) {
    if (recordCount >= RECORD_SLOTS) {
        // No slot left to parse into; the reply still tells its error.
        ApplianceRecord ignored;
        ParseDiscoveryReply(reply, length, &ignored, &lastError);
        return 0;
    }
    return ParseDiscoveryReply(reply, length, &records[recordCount], &lastError) ? 1 : 0;
}

size_t CommandChannel::LoadAdapters() { return QueryAdapters(adapters, gateways); }

size_t CommandChannel::QueryAdapters(AdapterEntry (&list)[ADAPTER_SLOTS],
                                     char (&gatewayList)[ADAPTER_SLOTS][16]) {
    return LoadAdapterTables(list, gatewayList);
}

std::unique_ptr<AddressProbe> CommandChannel::MakeAddressProbe() {
    return std::unique_ptr<AddressProbe>(new EchoAddressProbe());
}

bool CommandChannel::IsOnLocalSubnet(const std::string& address) {
    size_t count = LoadAdapters();
    return OnLocalSubnet(adapters, count, address.c_str());
}

int CommandChannel::FindFreeAddress(std::string& address) {
    size_t count = LoadAdapters();
    std::unique_ptr<AddressProbe> probe = MakeAddressProbe();
    if (!probe)
        return -1;
    return FindFreeHost(adapters, count, *probe, &address);
}

uint32_t CommandChannel::ReconfigureAppliance() {
    std::string free;
    int k = FindFreeAddress(free);
    if (k < 0)
        return CMD_NO_ADAPTER;
    freeAddress = free;
    bool open = Open(0, IP_PROTOCOL_UDP, ANY_ADDRESS) == CMD_OK;
    uint8_t request[FRAME_SIZE];
    size_t length =
        BuildReconfigureRequest(request, targetAddress, free, adapters[k].mask, gateways[k]);
    SetWord(lastCommand, "ipcf");
    uint32_t result =
        ScanExchange(COMMAND_PORT, request, length, BROADCAST_ADDRESS, SCAN_BROADCAST, 1);
    if (open)
        Close();
    return result;
}

void CommandChannel::PostFound(const ApplianceRecord& record) {
    if (notifyWindow)
        notifyWindow->ApplianceFound(record);
}

void CommandChannel::StartListener(uint16_t port) {
    StopListener();
    {
        std::lock_guard<std::mutex> hold(listenerLock);
        listenerReady = false;
        listenerDone = false;
    }
    listenerAbandoned = false;
    try {
        listener = std::thread(&CommandChannel::ListenForReplies, this, port);
    } catch (const std::system_error&) {
        // No thread, no listener: the pass ends at once with what it has.
        std::lock_guard<std::mutex> hold(listenerLock);
        listenerReady = true;
        listenerDone = true;
    }
}

void CommandChannel::WaitListenerReady(Clock::time_point deadline) {
    std::unique_lock<std::mutex> hold(listenerLock);
    listenerChanged.wait_until(hold, deadline, [this] { return listenerReady || listenerDone; });
}

void CommandChannel::WaitListenerDone(Clock::time_point deadline) {
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(listenerLock);
            if (listenerDone)
                return;
        }
        uint32_t left = MillisecondsUntil(deadline);
        if (left == 0)
            return;
        uint32_t slice = std::min(left, WAIT_SLICE_MILLISECONDS);
        if (doneEvent) {
            EventWait(doneEvent, slice);
        } else {
            std::unique_lock<std::mutex> hold(listenerLock);
            listenerChanged.wait_for(hold, std::chrono::milliseconds(slice),
                                     [this] { return listenerDone; });
        }
    }
}

void CommandChannel::StopListener() {
    if (!listener.joinable())
        return;
    // A listener that is still running takes nothing more and ends at its next datagram or
    // silence (at most one receive wait).
    listenerAbandoned = true;
    listener.join();
}
