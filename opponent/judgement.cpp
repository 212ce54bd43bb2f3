#include "opponent/judgement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "game/motion.h"
#include "opponent/steering.h"

namespace kraylo {
namespace {

// The braking distances are kept for speeds 0, 0.5, 1, ... up to kTopSpeed (pixels per tick).
constexpr double kSpeedStep = 0.5;
constexpr double kTopSpeed = 64;
constexpr size_t kSpeeds = static_cast<size_t>(kTopSpeed / kSpeedStep) + 1;
// What the computer takes a tick of braking to do: the key takes 1 pixel per tick off first, the
// ball moves, friction divides what is left.
constexpr double BrakingDistanceOf(double speed) {
  double distance = 0;
  double moved = speed - 1;  // this tick's move, pixels
  while (moved > 0) {
    distance += moved;
    moved = moved / kFrictionDivisor - 1;
  }
  return distance;
}

constexpr std::array<double, kSpeeds> kBrakingDistances = [] {
  std::array<double, kSpeeds> distances{};
  for (size_t i = 0; i < kSpeeds; ++i) {
    distances[i] = BrakingDistanceOf(static_cast<double>(i) * kSpeedStep);
  }
  return distances;
}();

// How steeply danger grows as the room left shrinks (pixels).
constexpr double kDangerScale = 60;
// Room below this (pixels) counts as this: past it a ball is lost whatever the numbers say.
constexpr double kLeastRoom = -240;
// A drop in a trial is worth more than any danger.
constexpr double kDropWorth = 1000;

// The gaps (pixels) between `position` (a centre) and the low and high edges of an axis `size`
// pixels long, less the braking distance towards the edge the ball is heading for.
std::array<double, 2> GapsAfterBraking(double position, double speed, int32_t size, double ground) {
  double low = position - kBallRadius;
  // In doubles: a screen size from the configuration may be any 32-bit number.
  double high = (size - 1.0) - (position + kBallRadius);
  if (speed < 0) low -= ground * BrakingDistance(-speed);
  if (speed > 0) high -= ground * BrakingDistance(speed);
  return {low, high};
}

double Danger(double room) { return std::exp(-std::max(room, kLeastRoom) / kDangerScale); }

// The key along one axis that brakes a ball heading for an edge it could no longer stop before
// were it to push on for one more tick: -1, +1 or 0.
int BrakeOnAxis(double position, double speed, int32_t size, double ground) {
  const double faster = std::fabs(speed) + 1;
  const std::array<double, 2> gaps =
      GapsAfterBraking(position, speed < 0 ? -faster : faster, size, ground);
  const double gap = speed < 0 ? gaps[0] : gaps[1];
  if (speed == 0 || gap - ground * faster > 0) return 0;
  return speed < 0 ? 1 : -1;
}

}  // namespace

double BrakingDistance(double speed) {
  if (!(speed > 0)) return 0;
  const double index = std::min(speed, kTopSpeed) / kSpeedStep;
  const auto below = static_cast<size_t>(index);
  if (below + 1 >= kSpeeds) return kBrakingDistances[kSpeeds - 1];
  const double share = index - static_cast<double>(below);
  return kBrakingDistances[below] * (1 - share) + kBrakingDistances[below + 1] * share;
}

double Room(const GameModel& game, int index) {
  const TBall& ball = game.Balls(index);
  const std::array<double, 2> x = GapsAfterBraking(ball.X, ball.MX, game.ScreenWidth, 1);
  const std::array<double, 2> y = GapsAfterBraking(ball.Y, ball.MY, game.ScreenHeight, kYGround);
  return std::min({x[0], x[1], y[0] / kYGround, y[1] / kYGround});
}

Directions SafetyBrake(const GameModel& game, int index) {
  const TBall& ball = game.Balls(index);
  return steer::Push(BrakeOnAxis(ball.X, ball.MX, game.ScreenWidth, 1),
                     BrakeOnAxis(ball.Y, ball.MY, game.ScreenHeight, kYGround));
}

double Worth(const GameModel& game, int own) {
  if (game.Dropped) return game.DroppedPlayer == own ? -kDropWorth : kDropWorth;
  return Danger(Room(game, 3 - own)) - Danger(Room(game, own));
}

}  // namespace kraylo
