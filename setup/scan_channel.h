// The Locate screen's work on the network: a scan on a fresh channel, and reconfiguration.
#pragma once

#include <memory>

#include "protocol/channel.h"
#include "setup/locate_machine.h"

namespace setup {

// "Discover" in the scan kind's mode on a channel of its own, each appliance handed to sink.
void DiscoverAppliances(ScanKind kind, ApplianceSink& sink);

// One reconfiguration pass over a fresh command channel.
std::unique_ptr<ReconfigureChannel> OpenReconfigureChannel();

} // namespace setup
