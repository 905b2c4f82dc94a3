// Fuzz target: the account-list walk over any text and any announced count.
#include "protocol/channel.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    uint32_t count;
    std::memcpy(&count, data, 4);
    std::string text(reinterpret_cast<const char*>(data) + 4, size - 4);
    auto names = ListedAccounts(text, count);
    size_t total = 0;
    for (auto& n : names) {
        if (n.find('\n') != std::string::npos)
            std::abort();
        total += n.size() + 1;
    }
    if (names.size() > count || total > text.size() + 1)
        std::abort();
    return 0;
}
