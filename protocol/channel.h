// CommandChannel: one short-lived conversation with an appliance, and the commands it speaks.
#pragma once

#include "protocol/event.h"
#include "protocol/sockets.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Results of the transport; appliance statuses travel beside them unchanged.
constexpr uint32_t CMD_OK = 0;
constexpr uint32_t CMD_TIMEOUT = 0xC0000001;
constexpr uint32_t CMD_SOCKET_ERROR = 0xC0000002;
constexpr uint32_t CMD_STARTUP_FAILED = 0xC0000003;
constexpr uint32_t CMD_BAD_REPLY = 0xC0000004;
constexpr uint32_t CMD_NO_ADAPTER = 3;

constexpr uint16_t COMMAND_PORT = 4301;
constexpr uint16_t REPLY_PORT = 4302;
constexpr size_t FRAME_SIZE = 4096;
constexpr size_t HEADER_SIZE = 10;
constexpr size_t MAX_SPVT_LENGTH = 4082;
constexpr uint32_t SPVT_TOO_LONG = 0xFFFFFFFF;
constexpr unsigned REPLY_SECONDS = 120;
constexpr unsigned LONG_REPLY_SECONDS = 600;
constexpr size_t RECORD_SLOTS = 255;
constexpr size_t ADAPTER_SLOTS = 8;
constexpr size_t NO_POSITION = static_cast<size_t>(-1);
// Discovery's waits: a listener or a unicast pass ends after this much silence, an "ipcf" answer
// may take the longer one, and the scan thread waits this long for a broadcast-mode listener.
constexpr unsigned QUIET_SECONDS = 2;
constexpr unsigned RECONFIGURE_SECONDS = 10;
constexpr uint32_t LISTENER_WAIT_MILLISECONDS = 10000;
constexpr uint32_t ANY_ADDRESS = 0;
constexpr uint32_t BROADCAST_ADDRESS = 0xFFFFFFFF;

// One appliance as discovery reports it.
struct ApplianceRecord {
    std::string hostName;
    std::string ipAddress;
    std::string detail;
};

// Where discovery hands each new appliance; on Windows the screen's adapter posts it as
// WM_APPLIANCE_FOUND with a copy the screen owns.
class ApplianceSink {
public:
    virtual ~ApplianceSink() = default;
    virtual void ApplianceFound(const ApplianceRecord& record) = 0;
};

struct AdapterEntry {
    char address[16];
    char mask[16];
};

class AddressProbe;

// The block "gub1" hands over: the reply from its value on, plus six trailing bytes.
struct StatusBlock {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
};

class CommandChannel {
public:
    CommandChannel();
    virtual ~CommandChannel();
    CommandChannel(const CommandChannel&) = delete;
    CommandChannel& operator=(const CommandChannel&) = delete;

    void SetTarget(const std::string& address);
    // Asked about once a second while a reply is awaited; when it answers true the wait ends as
    // a time-out, so that a caller who no longer wants the reply is not kept for the whole of a
    // long one. Set before an exchange, on the thread that runs it.
    void SetAbandoned(std::function<bool()> abandoned) { this->abandoned = std::move(abandoned); }

    // address is an IPv4 address in network order (0 for any local address).
    uint32_t Open(uint16_t port, int protocol, uint32_t address);
    void Close();
    // Fills the 4096-byte buffer; *received counts the bytes that arrived.
    uint32_t Receive(SocketHandle s, uint8_t* buffer, unsigned seconds, bool oneRead,
                     size_t* received);
    uint32_t Exchange(const uint8_t* request, size_t length, uint8_t* reply, size_t* received);
    uint32_t ExchangeLong(const uint8_t* request, size_t length, uint8_t* reply, size_t* received);

    // Zero-fills the 4096-byte buffer and writes the 10-byte header.
    static void BuildRequestHeader(uint8_t* buffer, const char* word, uint32_t fieldCount);
    // Writes the text and a newline at position; returns the position after the newline.
    static size_t AppendField(uint8_t* buffer, size_t position, const std::string& text);
    // Bytes past length count as the zero bytes of the zero-filled reply buffer. With a word:
    // the body position (10), the "erro" code position (5) or NO_POSITION. Without one (null):
    // copies one line from position into *lineOut and returns the position after it.
    static size_t ParseReply(const uint8_t* reply, size_t length, size_t position,
                             const char* expectedWord, uint32_t* value, std::string* lineOut);

    uint32_t SendCrat(const std::string& name, const std::string& password, uint32_t& status);
    uint32_t SendShar(const std::string& text1, const std::string& text2, const std::string& text3,
                      uint32_t& status);
    uint32_t SendPshr(const std::string& text1, const std::string& text2, const std::string& text3,
                      uint32_t& status);
    uint32_t SendFrst(uint32_t& status);
    uint32_t SendHost(const std::string& text2, const std::string& text3, const std::string& text4);
    std::string SendLsts(uint32_t& status, uint32_t& count);
    uint32_t SendSpvt(const uint8_t* data, size_t length);
    uint32_t SendGub1(StatusBlock& block);
    uint32_t SendGps1(std::string& shareName);
    int SendGsp1(const std::string& name);

    // Discovery and reconfiguration (discovery.cpp). mode 1 scans this computer's first subnet,
    // mode 2 broadcasts and takes the replies on port 4302.
    uint32_t Discover(uint32_t mode);
    // destination is an IPv4 address in network order.
    uint32_t ScanExchange(uint16_t port, const uint8_t* request, size_t length,
                          uint32_t destination, uint32_t mode, unsigned passes);
    // The body of a broadcast-mode pass's listener thread.
    void ListenForReplies(uint16_t port);
    // Parses a "dsrt" reply into records[recordCount]: 1 on success, 0 on failure (and when the
    // table has no slot left).
    int ParseFoundReply(const uint8_t* reply, size_t length);
    size_t LoadAdapters();
    bool IsOnLocalSubnet(const std::string& address);
    // The index of the adapter whose subnet gave the free address, or -1.
    int FindFreeAddress(std::string& address);
    // Gives the appliance at targetAddress a free static address of this computer's subnet.
    uint32_t ReconfigureAppliance();

    const std::string& TargetAddress() const { return targetAddress; }
    uint32_t LastError() const { return lastError; }
    uint32_t RecordCount() const { return recordCount; }
    const ApplianceRecord& Record(size_t slot) const { return records[slot]; }
    void SetNotifyWindow(ApplianceSink* sink) { notifyWindow = sink; }
    ApplianceSink* NotifyWindow() const { return notifyWindow; }
    const AdapterEntry& Adapter(size_t k) const { return adapters[k]; }
    const char* Gateway(size_t k) const { return gateways[k]; }
    const char* LastCommand() const { return lastCommand; }
    // The address the latest ReconfigureAppliance offered the appliance ("" before one).
    const std::string& FreeAddress() const { return freeAddress; }

protected:
    // The seconds a reply may take; tests override it to keep time-outs short.
    virtual unsigned ReplySeconds(unsigned productSeconds) const { return productSeconds; }
    // How long a broadcast-mode pass waits for its listener; tests shorten it.
    virtual uint32_t ListenerWaitMilliseconds(uint32_t productMilliseconds) const {
        return productMilliseconds;
    }
    // The platform's adapter list; tests hand in lists of their own.
    virtual size_t QueryAdapters(AdapterEntry (&list)[ADAPTER_SLOTS],
                                 char (&gatewayList)[ADAPTER_SLOTS][16]);
    // The echo probe of the free-address search; tests hand in a fake one.
    virtual std::unique_ptr<AddressProbe> MakeAddressProbe();
    // Test seams of the listener thread: when it starts, after each datagram has arrived (before
    // it is taken), and after it has signalled doneEvent.
    virtual void ListenerStarted() {}
    virtual void ListenerReceived() {}
    virtual void ListenerEnded() {}

private:
    // SocketWaitReadable, in one-second steps with the abandoned check between them when set.
    int WaitReadable(SocketHandle s, unsigned seconds);
    uint32_t SendStatusCommand(const char* word, const std::string* fields, uint32_t fieldCount,
                               uint32_t& status);
    // Posts a record that has just been added to the table.
    void PostFound(const ApplianceRecord& record);
    void StartListener(uint16_t port);
    // Waits until the listener is bound (or has failed) or the deadline passes.
    void WaitListenerReady(std::chrono::steady_clock::time_point deadline);
    // Waits on doneEvent until this channel's own listener has ended or the deadline passes.
    void WaitListenerDone(std::chrono::steady_clock::time_point deadline);
    // Tells a listener still running to take nothing more, and waits for its thread to end.
    void StopListener();

    uint32_t recordCount;
    std::unique_ptr<ApplianceRecord[]> records;
    ApplianceSink* notifyWindow;
    ChannelEvent* doneEvent;
    SocketHandle socket;
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][16];
    std::string targetAddress;
    uint32_t lastError;
    char lastCommand[8];

    // The current pass's listener thread. The scan thread joins it before it reads the records
    // or starts another pass, and the destructor joins it too, so no listener outlives its
    // channel. The flags tell the waiting side how far the listener has got.
    std::string freeAddress;
    std::function<bool()> abandoned;
    std::thread listener;
    std::atomic<bool> listenerAbandoned;
    std::mutex listenerLock;
    std::condition_variable listenerChanged;
    bool listenerReady;
    bool listenerDone;
};

// The 15-character clock text of "host": month, day, hour, minute, year, ".", second.
std::string FormatClockText(int year, int month, int day, int hour, int minute, int second);
std::string ClockTextNow();

// Walks count "gub1" records from offset 10 of a reply of length bytes and returns where the
// walk ended; it never goes past the data.
size_t WalkStatusRecords(const uint8_t* reply, size_t length, uint32_t count);

// Replaces the block with the one a "gub1" reply of received bytes holds; false, with the block
// as it was, when the reply does not begin with "gu".
bool TakeStatusBlock(const uint8_t* reply, size_t received, StatusBlock& block);

// The account names of an account-list text: the first line of each two-line entry, at most
// count of them, ending early when the text is used up.
std::vector<std::string> ListedAccounts(const std::string& text, uint32_t count);
