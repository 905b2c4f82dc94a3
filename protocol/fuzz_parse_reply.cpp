// Fuzz target: reply-shape recognition and line reading never step outside the data.
#include "protocol/channel.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that any read past the data trips the address sanitizer.
    std::vector<uint8_t> reply(data, data + size);
    const uint8_t* p = reply.empty() ? nullptr : reply.data();
    for (const char* word : {"lsst", "gpsr", "gspr", "dsrt", "gu"}) {
        uint32_t value = 0;
        size_t at = CommandChannel::ParseReply(p, size, 0, word, &value, nullptr);
        if (at != NO_POSITION && at != 5 && at != 10)
            std::abort();
    }
    size_t at = 0;
    std::string line;
    for (int lines = 0; lines < 10000; ++lines) {
        size_t next = CommandChannel::ParseReply(p, size, at, nullptr, nullptr, &line);
        if (next > size || line.size() > size || std::memchr(line.data(), '\n', line.size()))
            std::abort();
        if (next == at)
            break;
        at = next;
    }
    return 0;
}
