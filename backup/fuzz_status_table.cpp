// Fuzz target: any bytes as a status block, read, sorted, paged through and totalled.
#include "backup/status_table.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // a copy of its own size, so that reading past the block is caught
    std::vector<uint8_t> block(data, data + size);
    backup::StatusList list;
    if (!backup::ReadStatusBlock(block.empty() ? nullptr : block.data(), size, &list))
        return 0;
    for (const backup::UserStatus& u : list.users)
        if (u.name.size() > backup::kStatusNameLength || u.date.size() > 8)
            std::abort();
    backup::SortByName(list.users);
    for (size_t i = 1; i < list.users.size(); ++i)
        if (list.users[i].name < list.users[i - 1].name)
            std::abort();
    const int n = static_cast<int>(list.users.size());
    for (int first = 0; first <= n; ++first) {
        const backup::StatusPage page = backup::LayOutPage(&list, first, true);
        if (page.first < 0 || page.first > page.scrollMax || (n > 0 && page.first >= n))
            std::abort();
    }
    return 0;
}
