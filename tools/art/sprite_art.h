// The look the game's art shares: colours and the shaded balls of the sprite sheets and icons.
#pragma once

#include <algorithm>
#include <cmath>

namespace kraylo::art {

// A colour with channels from 0 to 255.
struct Color {
  double r = 0, g = 0, b = 0;
};

inline Color Mix(const Color& a, const Color& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Color Scale(const Color& c, double f) { return {c.r * f, c.g * f, c.b * f}; }

// Player 1's ball is blue, player 2's orange.
inline constexpr Color kPlayerColors[] = {{50, 125, 255}, {255, 140, 30}};

// The colour of a ball of `base` colour at (dx, dy) from its centre, in radii (inside the unit
// disc), lit from the upper left with a highlight.
inline Color ShadedSphere(const Color& base, double dx, double dy) {
  const double nz = std::sqrt(std::max(0.0, 1 - dx * dx - dy * dy));
  const double lx = -0.45, ly = -0.55, lz = 0.70;  // light from the upper left
  const double diffuse = std::max(0.0, dx * lx + dy * ly + nz * lz);
  const double reflect = 2 * diffuse * nz - lz;  // the reflected light towards the viewer
  const double specular = std::pow(std::max(0.0, reflect), 24) * 0.7;
  return Mix(Scale(base, 0.22 + 0.85 * diffuse), Color{255, 255, 255}, specular);
}

}  // namespace kraylo::art
