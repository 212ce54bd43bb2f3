#include "online/host_address.h"

#include "support/numbers.h"

namespace kraylo {

uint16_t ParsePort(const std::string& text) {
  const std::optional<int> port = WholeNumberIn(text, 1, 65535);
  if (!port) {
    throw AddressError("the UDP port must be a whole number from 1 to 65535, not \"" + text + "\"");
  }
  return static_cast<uint16_t>(*port);
}

HostAddress ParseHostAddress(const std::string& text, const std::string& subject,
                             uint16_t default_port) {
  const size_t colon = text.find(':');
  if (colon != std::string::npos && text.find(':', colon + 1) != std::string::npos) {
    throw AddressError(subject + " takes a name or an IPv4 address, not \"" + text + "\"");
  }
  HostAddress address;
  address.name = text.substr(0, colon);
  address.port = default_port;
  if (colon != std::string::npos) address.port = ParsePort(text.substr(colon + 1));
  if (address.name.empty() || address.name.find_first_of(" \t") != std::string::npos) {
    throw AddressError(subject + " needs the host's name or IPv4 address, not \"" + text + "\"");
  }
  return address;
}

}  // namespace kraylo
