#include "online/transport_opening.h"

#include "net/enet_transport.h"

namespace kraylo {

std::unique_ptr<Transport> ListenOn(uint16_t port) { return EnetTransport::Listen(port); }

std::unique_ptr<Transport> DialHost(const HostAddress& host) {
  return EnetTransport::Connect(host.name, host.port);
}

std::unique_ptr<Transport> OpenForMeeting() { return EnetTransport::Unconnected(); }

}  // namespace kraylo
