// Fuzz target: the simulator's request reader on arbitrary bytes.
#include "appliance/request.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    appliance::Request r;
    size_t used = 0;
    if (appliance::ParseRequest(data, size, &r, &used) == appliance::ParseOutcome::Complete) {
        if (used > size || used < 10)
            std::abort();
    }
    return 0;
}
