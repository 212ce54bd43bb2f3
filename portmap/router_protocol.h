// One way of asking the router in front of this machine to forward a UDP port to it (UPnP IGD or
// NAT-PMP), behind one interface so that the port mapping can try one after the other.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace kraylo {

using Deadline = std::chrono::steady_clock::time_point;

// Where the routers are. Empty: found on the network (UPnP by discovery, NAT-PMP at the default
// gateway); the tests name fake routers of their own on 127.0.0.1 instead.
struct RouterAddress {
  std::string upnp_description;  // the URL of a UPnP IGD's root description
  std::string natpmp_gateway;    // the IPv4 address of a NAT-PMP gateway
};

// A port the router forwards.
struct MappedPort {
  std::string external_address;  // the router's address on the internet side, IPv4
  uint16_t external_port = 0;
  bool permanent = false;  // the router takes no lease: the mapping stays until removed
};

// What a router said to a request.
struct RouterAnswer {
  std::optional<MappedPort> mapped;  // nullopt: not mapped, `why` says
  std::string why;                   // "refused (error 718)", "no answer"
};

class RouterProtocol {
 public:
  virtual ~RouterProtocol() = default;
  // Its name as the player reads it: "UPnP", "NAT-PMP".
  virtual const char* name() const = 0;
  // Asks for UDP `port` outside to reach UDP `port` of this machine for `lease_seconds`; gives up
  // at `deadline`. A router that takes only permanent mappings gets one.
  virtual RouterAnswer Map(uint16_t port, uint32_t lease_seconds, Deadline deadline) = 0;
  // Removes the mapping of UDP `port`; gives up at `deadline`. False when the router said no or
  // did not answer.
  virtual bool Unmap(uint16_t port, Deadline deadline) = 0;
};

}  // namespace kraylo
