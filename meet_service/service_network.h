// What the meeting service needs of the network: to send from one of its ports, and to open and
// close relay ports. The epoll loop is the real one; tests record.
#pragma once

#include <cstdint>
#include <span>

#include "meeting/endpoint.h"

namespace kraylo {

class ServiceNetwork {
 public:
  virtual ~ServiceNetwork() = default;
  // Sends `bytes` from the service's port `from_port` to `to`.
  virtual void Send(uint16_t from_port, Endpoint to, std::span<const uint8_t> bytes) = 0;
  // Opens a relay port; false when the system will not have it (taken by another program).
  virtual bool OpenPort(uint16_t port) = 0;
  virtual void ClosePort(uint16_t port) = 0;
};

}  // namespace kraylo
