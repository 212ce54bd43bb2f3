#include "meeting/endpoint.h"

namespace kraylo {

std::string FormatEndpoint(Endpoint endpoint) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    text += std::to_string((endpoint.address >> shift) & 0xFF);
    text += shift > 0 ? '.' : ':';
  }
  return text + std::to_string(endpoint.port);
}

}  // namespace kraylo
