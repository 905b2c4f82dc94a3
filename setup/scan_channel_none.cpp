// Builds without the channel's discovery members: scans find nothing and nothing is moved.
#include "setup/scan_channel.h"

namespace setup {
namespace {

class NoReconfigureChannel : public ReconfigureChannel {
public:
    bool IsOnLocalSubnet(const std::string&) override { return true; }
    uint32_t Reconfigure(const std::string&) override { return CMD_NO_ADAPTER; }
};

} // namespace

void DiscoverAppliances(ScanKind, ApplianceSink&) {}

std::unique_ptr<ReconfigureChannel> OpenReconfigureChannel() {
    return std::make_unique<NoReconfigureChannel>();
}

} // namespace setup
