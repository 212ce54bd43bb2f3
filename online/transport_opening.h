// The transports a network game of this program plays over (ENet over UDP), opened at once so
// that a port in use or an unknown name is said before anything else happens.
#pragma once

#include <cstdint>
#include <memory>

#include "net/transport.h"
#include "online/host_address.h"

namespace kraylo {

// A host waiting on UDP `port` of every IPv4 address of the machine. Raises kErrNetwork when the
// port cannot be had.
std::unique_ptr<Transport> ListenOn(uint16_t port);
// A joiner connecting to `host`, its name looked up now. Raises kErrNetwork when the name is not
// known.
std::unique_ptr<Transport> DialHost(const HostAddress& host);
// A joiner by code, whose host the meeting will find: a socket on a free port. Raises kErrNetwork
// when no socket can be had.
std::unique_ptr<Transport> OpenForMeeting();

}  // namespace kraylo
