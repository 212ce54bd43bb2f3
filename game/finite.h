// Guards for floating-point results of the simulation: a value that overflowed or became NaN is a
// run-time error at the place it arose, never a ball that silently vanishes.
#pragma once

#include <cmath>

namespace kraylo {

// Raises 6 (overflow) for an infinite value, 5 (invalid argument) for NaN.
[[noreturn]] void RaiseNonFinite(double value);

// Returns `value` (any unit) unchanged when it is finite; raises as RaiseNonFinite otherwise.
inline double Finite(double value) {
  if (!std::isfinite(value)) [[unlikely]] {
    RaiseNonFinite(value);
  }
  return value;
}

}  // namespace kraylo
