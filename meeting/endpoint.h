// A UDP endpoint as the meeting service and its clients name one: an IPv4 address and a port.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kraylo {

struct Endpoint {
  uint32_t address = 0;  // IPv4, 127.0.0.1 is 0x7F000001
  uint16_t port = 0;
  bool operator==(const Endpoint&) const = default;
};

// "192.0.2.1:27911".
std::string FormatEndpoint(Endpoint endpoint);

struct EndpointHash {
  size_t operator()(Endpoint endpoint) const {
    return std::hash<uint64_t>{}(uint64_t{endpoint.address} << 16 | endpoint.port);
  }
};

}  // namespace kraylo
