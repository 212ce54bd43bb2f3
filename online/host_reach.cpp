#include "online/host_reach.h"

#include "net/enet_transport.h"
#include "portmap/routers.h"

namespace kraylo {

HostReach MachineHostReach(const RouterAddress& routers) {
  HostReach reach;
  reach.lan_address = LanAddress();
  reach.map_port = [routers](uint16_t port) {
    return std::make_unique<PortMapping>(port, MakeRouters(routers));
  };
  return reach;
}

}  // namespace kraylo
