// What the broadcast listener needs of the sockets: this computer's own address, and a bind to it
// that also hears that subnet's broadcasts.
#pragma once

#include "protocol/sockets.h"

#include <cstdint>

// The first address of this computer's own host name (the host entry of the empty name), in
// network order; false when there is none.
bool HostNameAddress(uint32_t* address);

// Binds a datagram socket to one of this computer's addresses (network order) so that, as on
// Windows, it also receives the broadcasts of that address's subnet and of 255.255.255.255.
bool SocketBindAdapter(SocketHandle s, uint32_t address, uint16_t port);
