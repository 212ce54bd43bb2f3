// Where a host waits: a name or an IPv4 address and a UDP port, as a player writes it
// ("HOST[:PORT]") on the command line or on the address screen. Read in this one place.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "net/protocol.h"

namespace kraylo {

struct HostAddress {
  std::string name;              // a name or an IPv4 address
  uint16_t port = kDefaultPort;  // UDP

  // "NAME:PORT", as the screens write it.
  std::string Text() const { return name + ":" + std::to_string(port); }
};

// Text that is no host's address (or no port); what() says what is wrong with it.
class AddressError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads "HOST[:PORT]" (PORT `default_port` when not given). Raises AddressError saying what is
// wrong, `subject` ("--join", "The address") first.
HostAddress ParseHostAddress(const std::string& text, const std::string& subject,
                             uint16_t default_port = kDefaultPort);

// Reads a UDP port, 1 to 65535. Raises AddressError otherwise.
uint16_t ParsePort(const std::string& text);

}  // namespace kraylo
