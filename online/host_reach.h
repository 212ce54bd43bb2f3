// How players reach the host: its address on its own network, and its port opened on the router.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "portmap/port_mapping.h"
#include "portmap/router_protocol.h"

namespace kraylo {

struct HostReach {
  std::string lan_address;  // this machine's IPv4 address on its network; empty: not known
  // Asks the router to forward UDP `port`; none: no router is asked.
  std::function<std::unique_ptr<PortMapping>(uint16_t port)> map_port;
};

// This machine's way to its routers: those at `routers` (found on the network where it names
// none).
HostReach MachineHostReach(const RouterAddress& routers);

}  // namespace kraylo
