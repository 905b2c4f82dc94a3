// Fuzz target: the "gub1" record walk and block copy on replies of any length.
#include "protocol/channel.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > FRAME_SIZE)
        size = FRAME_SIZE;
    std::vector<uint8_t> reply(data, data + size);
    const uint8_t* p = reply.empty() ? nullptr : reply.data();
    StatusBlock block;
    block.bytes.reset(new uint8_t[1]());
    block.size = 1;
    bool taken = TakeStatusBlock(p, size, block);
    if (!taken && block.size != 1)
        std::abort();
    if (taken && block.bytes) {
        // The block mirrors the reply from offset 5 and is zero past the data.
        for (size_t i = 0; i < block.size; ++i) {
            uint8_t expected = i + 5 < size ? reply[i + 5] : 0;
            if (block.bytes[i] != expected)
                std::abort();
        }
        if (block.size > FRAME_SIZE + 1)
            std::abort();
    }
    return 0;
}
