// The routers the host asks, in the order it asks them: UPnP IGD first, then NAT-PMP.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "portmap/router_protocol.h"

namespace kraylo {

// The routers at `where`: found on the network where it names none.
std::vector<std::unique_ptr<RouterProtocol>> MakeRouters(const RouterAddress& where);

// The routers a UPnP description's URL ("http://HOST:PORT/...") names: that description, and a
// NAT-PMP gateway at its HOST. A text that is no such URL names no NAT-PMP gateway (it is asked
// nowhere). The tests' fake routers are named so.
RouterAddress RoutersAt(const std::string& upnp_description_url);

}  // namespace kraylo
