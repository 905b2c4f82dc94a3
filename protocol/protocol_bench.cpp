// Commands per second over loopback: the channel beside a minimal plain-socket client.
#include "protocol/channel.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* Address() {
    const char* a = std::getenv("TOV_APPLIANCE_ADDRESS");
    return a ? a : "127.0.0.1";
}

// The least a client can do for one command: connect, send, read to the close, close.
bool PlainExchange(const char* word) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(COMMAND_PORT);
    sa.sin_addr.s_addr = inet_addr(Address());
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    char request[10] = {word[0], word[1], word[2], word[3], ' ', 0, 0, 0, 0, '\n'};
    ok = ok && send(fd, request, sizeof request, MSG_NOSIGNAL) == 10;
    char reply[4096];
    size_t got = 0;
    while (ok) {
        ssize_t n = recv(fd, reply + got, sizeof reply - got, 0);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
        if (got == sizeof reply)
            break;
    }
    close(fd);
    return ok && got >= 4;
}

void ChannelFrst(benchmark::State& state) {
    for (auto _ : state) {
        CommandChannel channel;
        channel.SetTarget(Address());
        uint32_t status = 0;
        if (channel.SendFrst(status) != CMD_OK)
            state.SkipWithError("frst failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void PlainFrst(benchmark::State& state) {
    for (auto _ : state)
        if (!PlainExchange("frst"))
            state.SkipWithError("frst failed");
    state.SetItemsProcessed(state.iterations());
}

void ChannelGub1(benchmark::State& state) {
    for (auto _ : state) {
        CommandChannel channel;
        channel.SetTarget(Address());
        StatusBlock block;
        if (channel.SendGub1(block) != CMD_OK)
            state.SkipWithError("gub1 failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void PlainGub1(benchmark::State& state) {
    for (auto _ : state)
        if (!PlainExchange("gub1"))
            state.SkipWithError("gub1 failed");
    state.SetItemsProcessed(state.iterations());
}

bool ChannelExchange(const char* word) {
    CommandChannel channel;
    channel.SetTarget(Address());
    if (word[0] == 'f') {
        uint32_t status = 0;
        return channel.SendFrst(status) == CMD_OK;
    }
    StatusBlock block;
    return channel.SendGub1(block) == CMD_OK;
}

// The channel and the plain client by turns, each timed on its own: on a busy machine both meet
// the same load, so the ratio of their rates holds where rates taken one after the other swing.
void ByTurns(benchmark::State& state, const char* word) {
    using Clock = std::chrono::steady_clock;
    Clock::duration channelTime{}, plainTime{};
    bool channelFirst = true;
    for (auto _ : state) {
        bool ok = true;
        // Who goes first changes every time, so neither always follows the other's close.
        for (int turn = 0; turn < 2; ++turn) {
            bool channel = (turn == 0) == channelFirst;
            Clock::time_point t0 = Clock::now();
            ok = (channel ? ChannelExchange(word) : PlainExchange(word)) && ok;
            (channel ? channelTime : plainTime) += Clock::now() - t0;
        }
        channelFirst = !channelFirst;
        if (!ok)
            state.SkipWithError("command failed");
    }
    auto rate = [&state](Clock::duration d) {
        return static_cast<double>(state.iterations()) / std::chrono::duration<double>(d).count();
    };
    state.counters["channel_per_second"] = rate(channelTime);
    state.counters["plain_per_second"] = rate(plainTime);
}

void ByTurnsFrst(benchmark::State& state) { ByTurns(state, "frst"); }
void ByTurnsGub1(benchmark::State& state) { ByTurns(state, "gub1"); }

} // namespace

BENCHMARK(ByTurnsFrst)->UseRealTime();
BENCHMARK(ByTurnsGub1)->UseRealTime();
BENCHMARK(ChannelFrst)->UseRealTime();
BENCHMARK(PlainFrst)->UseRealTime();
BENCHMARK(ChannelGub1)->UseRealTime();
BENCHMARK(PlainGub1)->UseRealTime();
BENCHMARK_MAIN();
