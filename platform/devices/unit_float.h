// Uniform single-precision numbers for both backends' Random.
#pragma once

#include <random>

namespace kraylo {

// A uniform number in [0, 1) from 24 random bits: every value is exact in a float, so rounding
// can never reach 1.
inline float UnitFloat(std::mt19937& generator) {
  constexpr float kScale = 1.0f / 16777216.0f;  // 2^-24
  return static_cast<float>(generator() >> 8) * kScale;
}

}  // namespace kraylo
