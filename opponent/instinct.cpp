#include "opponent/instinct.h"

#include <algorithm>
#include <cmath>

#include "opponent/judgement.h"
#include "opponent/steering.h"

namespace kraylo {
namespace {

// Gaps to an edge below this (pixels) count as this, so that the way out stays defined.
constexpr double kLeastGap = 5;
// The longest (ticks) the other ball's speed is carried forward to guess where it will be.
constexpr double kLongestGuess = 10;
// Speeds below this (pixels per tick) count as this when guessing how long the way over takes.
constexpr double kLeastApproachSpeed = 5;
// The charge starts from behind the other ball by at least this much along its way out, and no
// further off to the side than this (pixels).
constexpr double kChargeBehind = 60;
constexpr double kChargeAside = 90;
// How far behind (or beside) the other ball it waits for a charge (pixels).
constexpr double kStandOff = 140;
// Steering to a point, it allows for this many ticks of its own speed, so as to arrive slowly.
constexpr double kSteeringLead = 6;
// Closer than this to its point (pixels) along an axis it holds neither key of that axis.
constexpr double kCloseEnough = 3;
// A point to wait at keeps this far from every edge (pixels from the centre to the edge).
constexpr double kWaitingMargin = 60;

struct Vector {
  double x;
  double y;
};

double Length(Vector v) { return std::sqrt(v.x * v.x + v.y * v.y); }

// `value` brought between `low` and `high`, or the middle between them on a screen too small for
// any point to keep its margin.
double Within(double value, double low, double high) {
  return low <= high ? std::clamp(value, low, high) : (low + high) / 2;
}

// The way (a unit vector) `ball` is nearest to going out: each edge pulls by the inverse of its
// gap, a gap along y counting half. In doubles: a screen size may be any 32-bit number.
Vector WayOut(const TBall& ball, int32_t width, int32_t height) {
  const double left = std::max(ball.X - kBallRadius, kLeastGap);
  const double right = std::max((width - 1.0) - (ball.X + kBallRadius), kLeastGap);
  const double top = std::max((ball.Y - kBallRadius) / kYGround, kLeastGap);
  const double bottom = std::max(((height - 1.0) - (ball.Y + kBallRadius)) / kYGround, kLeastGap);
  const Vector pull{1 / right - 1 / left, 1 / bottom - 1 / top};
  const double length = Length(pull);
  if (length == 0) return {1, 0};
  return {pull.x / length, pull.y / length};
}

// The keys that bring `ball` to `target` and slow it down on the way.
Directions SteerTo(const TBall& ball, Vector target) {
  const double x = target.x - ball.X - kSteeringLead * ball.MX;
  const double y = target.y - ball.Y - kSteeringLead * kYGround * ball.MY;
  return steer::Push(std::fabs(x) < kCloseEnough ? 0 : x, std::fabs(y) < kCloseEnough ? 0 : y);
}

}  // namespace

Instinct InstinctOf(const GameModel& game, int own) {
  const TBall& ball = game.Balls(own);
  const TBall& other = game.Balls(3 - own);
  const Vector out = WayOut(other, game.ScreenWidth, game.ScreenHeight);

  // Where the other ball will be by the time this one gets there.
  const double distance = Length({other.X - ball.X, other.Y - ball.Y});
  const double speed = std::max(Length({ball.MX, ball.MY}), kLeastApproachSpeed);
  const double ticks = std::min(kLongestGuess, distance / speed);
  const Vector aim{other.X + other.MX * ticks, other.Y + kYGround * other.MY * ticks};

  // Where this ball stands from there: along the other's way out (below 0 is behind) and aside.
  const Vector from{ball.X - aim.x, ball.Y - aim.y};
  const double along = from.x * out.x + from.y * out.y;
  const double aside = Length({from.x - along * out.x, from.y - along * out.y});

  Instinct instinct;
  if (along < -kChargeBehind && aside < kChargeAside) {
    instinct.move = Move::kCharge;
    instinct.keys = steer::Push(aim.x - ball.X, aim.y - ball.Y);
    instinct.target_x = aim.x;
    instinct.target_y = aim.y;
  } else {
    Vector wait{aim.x - out.x * kStandOff, aim.y - out.y * kStandOff};
    if (along > 0) {
      // Round the other ball on this ball's side of it.
      Vector side{-out.y, out.x};
      if (from.x * side.x + from.y * side.y < 0) side = {-side.x, -side.y};
      wait = {aim.x + side.x * kStandOff, aim.y + side.y * kStandOff};
      instinct.move = Move::kGoRound;
    }
    wait.x = Within(wait.x, kWaitingMargin, game.ScreenWidth - 1.0 - kWaitingMargin);
    wait.y = Within(wait.y, kWaitingMargin, game.ScreenHeight - 1.0 - kWaitingMargin);
    instinct.keys = SteerTo(ball, wait);
    instinct.target_x = wait.x;
    instinct.target_y = wait.y;
  }

  const Directions brake = SafetyBrake(game, own);
  if (brake != 0) {
    instinct.braking = true;
    const int x = steer::PushX(brake);
    const int y = steer::PushY(brake);
    instinct.keys = steer::Push(x != 0 ? x : steer::PushX(instinct.keys),
                                y != 0 ? y : steer::PushY(instinct.keys));
  }
  return instinct;
}

}  // namespace kraylo
