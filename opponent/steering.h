// One ball's four direction keys as bits 0-3 of a Directions byte, and the pushes they make.
#pragma once

#include <string>

#include "input/directions.h"

namespace kraylo::steer {

inline constexpr Directions kLeft = 1;
inline constexpr Directions kRight = 2;
inline constexpr Directions kUp = 4;
inline constexpr Directions kDown = 8;

// The keys that push along x by the sign of `x` and along y by the sign of `y` (any numbers; 0
// holds neither key of that axis).
template <typename T>
constexpr Directions Push(T x, T y) {
  return static_cast<Directions>((x < 0   ? kLeft
                                  : x > 0 ? kRight
                                          : 0) |
                                 (y < 0   ? kUp
                                  : y > 0 ? kDown
                                          : 0));
}

// The push of `four` along x: -1 (Left), +1 (Right) or 0 (neither or both).
constexpr int PushX(Directions four) {
  return ((four & kRight) ? 1 : 0) - ((four & kLeft) ? 1 : 0);
}
// The push of `four` along y: -1 (Up), +1 (Down) or 0.
constexpr int PushY(Directions four) { return ((four & kDown) ? 1 : 0) - ((four & kUp) ? 1 : 0); }

// The nine different pushes one ball can make: none, the four sides and the four diagonals.
inline constexpr Directions kPushes[] = {
    0, kLeft, kRight, kUp, kDown, kLeft | kUp, kLeft | kDown, kRight | kUp, kRight | kDown};

// The held keys of `four` by name, "Left Up" for instance, or "none".
std::string KeyNames(Directions four);

}  // namespace kraylo::steer
