#include "game/seeded_random.h"

namespace kraylo {

float SeededRandom::Next() {
  // SplitMix64: integer arithmetic only, so every machine draws the same numbers.
  state_ += 0x9E3779B97F4A7C15u;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  z ^= z >> 31;
  // 24 bits: every value is exact in a float, so the product can never round up to 1.
  constexpr float kScale = 1.0f / 16777216.0f;  // 2^-24
  return static_cast<float>(z >> 40) * kScale;
}

}  // namespace kraylo
