// The adapter tables from the IP Helper adapter list.
#include "protocol/adapters.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstdlib>

namespace {

// One adapter record: the size the list is first asked into.
constexpr ULONG FIRST_LIST_SIZE = 640;

struct ListBuffer {
    IP_ADAPTER_INFO* info = nullptr;
    ~ListBuffer() { std::free(info); }
    bool Allocate(ULONG size) {
        std::free(info);
        // never less than one record, so a size of 0 cannot give a null buffer back
        info = static_cast<IP_ADAPTER_INFO*>(std::malloc(size ? size : 1));
        return info != nullptr;
    }
};

} // namespace

size_t LoadAdapterTables(AdapterEntry (&adapters)[ADAPTER_SLOTS],
                         char (&gateways)[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE]) {
    for (size_t k = 0; k < ADAPTER_SLOTS; ++k) {
        CopyAdapterText(adapters[k].address, "");
        CopyAdapterText(adapters[k].mask, "");
        CopyAdapterText(gateways[k], "");
    }
    ListBuffer list;
    ULONG size = FIRST_LIST_SIZE;
    if (!list.Allocate(size))
        return 0;
    if (GetAdaptersInfo(list.info, &size) != ERROR_SUCCESS) {
        if (!list.Allocate(size) || GetAdaptersInfo(list.info, &size) != ERROR_SUCCESS)
            return 0;
    }
    size_t count = 0;
    for (IP_ADAPTER_INFO* a = list.info; a && count < ADAPTER_SLOTS; a = a->Next, ++count) {
        CopyAdapterText(adapters[count].address, a->IpAddressList.IpAddress.String);
        CopyAdapterText(adapters[count].mask, a->IpAddressList.IpMask.String);
        CopyAdapterText(gateways[count], a->GatewayList.IpAddress.String);
    }
    return count;
}
