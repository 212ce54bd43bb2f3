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

uint64_t DrawSeed(Random& random) {
  random.Reseed();
  // Three draws of 24 bits each fill the 64 bits (the top bits of the first fall off).
  constexpr float kDrawValues = 16777216.0f;  // 2^24
  uint64_t seed = 0;
  for (int draw = 0; draw < 3; ++draw) {
    seed = seed << 24 | static_cast<uint64_t>(random.Next() * kDrawValues);
  }
  return seed;
}

}  // namespace kraylo
