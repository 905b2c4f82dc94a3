// The scans and the reconfiguration over the command channel's discovery members.
#include "setup/scan_channel.h"

namespace setup {
namespace {

constexpr uint32_t UNICAST_MODE = 1;
constexpr uint32_t BROADCAST_MODE = 2;

class CommandReconfigureChannel : public ReconfigureChannel {
public:
    bool IsOnLocalSubnet(const std::string& address) override {
        return channel.IsOnLocalSubnet(address);
    }
    uint32_t Reconfigure(const std::string& address) override {
        channel.SetTarget(address);
        return channel.ReconfigureAppliance();
    }

private:
    CommandChannel channel;
};

} // namespace

void DiscoverAppliances(ScanKind kind, ApplianceSink& sink) {
    CommandChannel channel;
    channel.SetNotifyWindow(&sink);
    channel.Discover(kind == ScanKind::Unicast ? UNICAST_MODE : BROADCAST_MODE);
    channel.SetNotifyWindow(nullptr);
}

std::unique_ptr<ReconfigureChannel> OpenReconfigureChannel() {
    return std::make_unique<CommandReconfigureChannel>();
}

} // namespace setup
