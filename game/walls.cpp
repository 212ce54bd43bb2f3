#include "game/walls.h"

#include <cmath>

#include "game/finite.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// Pushes longer than this, which only absurd screen sizes or positions give, first jump to this
// many pixels short of the edge (keeping the fraction of a pixel) and walk the rest; pixels.
constexpr double kLongestWalk = 64;

// The fraction of a pixel in `coordinate`, which walking by whole pixels keeps.
double PixelFraction(double coordinate) { return coordinate - std::floor(coordinate); }

// Walks `coordinate` (a centre, pixels) up one pixel at a time, moving before each test, until the
// ball's low edge rounded down reaches 0.
void PushPastLowEdge(double& coordinate) {
  if (-std::floor(coordinate - kBallRadius) > kLongestWalk) {
    coordinate = (kBallRadius - kLongestWalk) + PixelFraction(coordinate);
  }
  do {
    coordinate += 1;
  } while (std::floor(coordinate - kBallRadius) < 0);
}

// Walks `coordinate` (a centre, pixels) down one pixel at a time, moving before each test, until
// the ball's high edge rounded down is at most `last` (the last pixel row or column).
void PushBelowHighEdge(double& coordinate, int32_t last) {
  if (std::floor(coordinate + kBallRadius) - last > kLongestWalk) {
    coordinate = (last - kBallRadius + kLongestWalk) + PixelFraction(coordinate);
  }
  do {
    coordinate -= 1;
  } while (std::floor(coordinate + kBallRadius) > last);
}

// Both edges of one axis, low first; true when the ball crossed either. `size` is the screen's
// extent along the axis, pixels.
bool PushBackOnAxis(double& coordinate, int32_t size) {
  Finite(coordinate);
  bool crossed = false;
  if (coordinate - kBallRadius < 0) {
    PushPastLowEdge(coordinate);
    crossed = true;
  }
  const int32_t last = Sub32(size, 1);
  if (coordinate + kBallRadius > last) {
    PushBelowHighEdge(coordinate, last);
    crossed = true;
  }
  return crossed;
}

}  // namespace

bool PushBackFromEdges(TBall& ball, int32_t screen_width, int32_t screen_height) {
  const bool crossed_side = PushBackOnAxis(ball.X, screen_width);
  const bool crossed_top_or_bottom = PushBackOnAxis(ball.Y, screen_height);
  return crossed_side || crossed_top_or_bottom;
}

}  // namespace kraylo
