#include "input/directions.h"

#include <cstddef>

namespace kraylo {

Directions DirectionsOf(const KeyTable& table, const std::array<uint8_t, 8>& keys) {
  Directions directions = 0;
  for (size_t bit = 0; bit < keys.size(); ++bit) {
    if (table[keys[bit]] != 0) directions = static_cast<Directions>(directions | 1u << bit);
  }
  return directions;
}

void SetDirections(KeyTable& table, Directions directions) {
  for (size_t bit = 0; bit < kDirectionKeys.size(); ++bit) {
    table[kDirectionKeys[bit]] = (directions >> bit & 1u) != 0 ? key_index::kHeld : uint8_t{0};
  }
}

}  // namespace kraylo
