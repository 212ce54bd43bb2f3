#include "game/motion.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "game/controls.h"
#include "game/finite.h"
#include "game/walls.h"
#include "platform/run_error.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// A velocity component strictly inside (-kRestSpeed, kRestSpeed) after friction stops; pixels
// per tick.
constexpr double kRestSpeed = 0.1;
constexpr int32_t kCountDownTicks = 30;
// In a contact each ball takes this share of the other's velocity ...
constexpr double kTakenShare = 0.8;
// ... and keeps this share of its own.
constexpr double kKeptShare = -0.2;

// Notes the tick's first touch in `events` (when given): a touch the balls were already in at the
// tick's start is no new contact. Read-only on the game, so the simulation runs as without it.
struct ContactWatch {
  TickEvents* events = nullptr;
  bool touching_at_start = false;

  void Bounced(const GameModel& game) const {
    if (events == nullptr || touching_at_start || events->contact) return;
    const TBall& first = game.Balls(1);
    const TBall& second = game.Balls(2);
    const double dx = second.X - first.X;
    const double dy = second.Y - first.Y;
    const double distance = std::sqrt(dx * dx + dy * dy);
    // The exchange keeps the relative velocity's size and turns it round, so the velocities
    // after it tell as well as those before it.
    const double vx = first.MX - second.MX;
    const double vy = first.MY - second.MY;
    events->contact = true;
    events->contact_speed =
        distance > 0 ? std::fabs(vx * dx + vy * dy) / distance : std::sqrt(vx * vx + vy * vy);
  }
};

// Whether the balls touch at the tick's start, by plain distance: it must never raise where the
// game would not (the game's own test rounds and can overflow), and it only decides a sound.
bool TouchingLoosely(const GameModel& game) {
  const double dx = game.Balls(1).X - game.Balls(2).X;
  const double dy = game.Balls(1).Y - game.Balls(2).Y;
  return dx * dx + dy * dy < kContactDistance * kContactDistance;
}

// Moves `coordinate` (pixels) one pixel at a time as a counter runs from 1 to `end` (a velocity,
// read once, compared unrounded), testing for contact after every pixel: downwards while the
// counter is not below a negative end (floor(-end) + 2 pixels, since the counter starts at 1),
// upwards while it is not above a positive end (floor(end) pixels). True when a contact stopped it.
// The count is a 32-bit counter: a velocity beyond it is an overflow rather than a step loop that
// would never end.
bool StepPixels(GameModel& game, double& coordinate, double end, const ContactWatch& watch) {
  const double direction = end < 0 ? -1.0 : 1.0;
  const double pixels = end < 0 ? std::floor(-end) + 2 : std::floor(end);
  if (pixels > std::numeric_limits<int32_t>::max()) Raise(kErrOverflow, "Overflow");
  const auto count = static_cast<int32_t>(pixels);
  for (int32_t pixel = 0; pixel < count; ++pixel) {
    coordinate += direction;
    if (Bounce(game)) {
      watch.Bounced(game);
      return true;
    }
  }
  return false;
}

// A velocity component (pixels per tick) too slow to go on is stopped.
double StopWhenSlow(double velocity) {
  return -kRestSpeed < velocity && velocity < kRestSpeed ? 0 : velocity;
}

// One ball's share of the tick: jump, unit steps with contact, friction, rest, edges.
void MoveBall(GameModel& game, int32_t index, const ContactWatch& watch) {
  TBall& ball = game.Balls(index);
  ball.Y = Finite(ball.Y + ball.MY);
  // Steps are along x first; a contact there also cancels the steps along y.
  if (!StepPixels(game, ball.X, Finite(ball.MX), watch)) StepPixels(game, ball.Y, ball.MY, watch);
  ball.MX = ball.MX / kFrictionDivisor;
  ball.MY = ball.MY / kFrictionDivisor;
  ball.MX = StopWhenSlow(ball.MX);
  ball.MY = StopWhenSlow(ball.MY);
  if (PushBackFromEdges(ball, game.ScreenWidth, game.ScreenHeight)) {
    if (watch.events != nullptr && !game.Dropped) watch.events->drop = true;
    game.Dropped = true;
    game.TimeToDrop = kCountDownTicks;
    game.DroppedPlayer = index;
  }
}

// The velocity component a ball leaves a contact with (pixels per tick).
double Exchanged(double other_before, double own_before) {
  return Finite(other_before * kTakenShare + own_before * kKeptShare);
}

}  // namespace

void MoveTick(GameModel& game, KeySource& keys, Random& random, TickEvents* events) {
  ReadControls(game, keys);
  if (game.Dropped && game.TimeToDrop < 0) {
    game.Dropped = false;
    ResetBalls(game, random, 1);
    if (events != nullptr) events->round_start = true;
  }
  if (game.Dropped) {
    game.TimeToDrop = Sub32(game.TimeToDrop, 1);
    return;
  }
  // Every ball but the scratch record, which stays last.
  const int32_t first = BallArray::kLower;
  const int32_t last = Sub32(BallArray::kUpper, 1);
  const ContactWatch watch{events, events != nullptr && TouchingLoosely(game)};
  for (int32_t index = first; index <= last; ++index) MoveBall(game, index, watch);
}

void MoveTick(GameModel& game, Directions directions, Random& random, TickEvents* events) {
  KeyTable table{};
  SetDirections(table, directions);
  TableKeys keys(table);
  MoveTick(game, keys, random, events);
}

bool Bounce(GameModel& game) {
  if (!InContact(game)) return false;
  TBall& first = game.Balls(1);
  TBall& second = game.Balls(2);
  TBall& scratch = game.Balls(3);
  // Ball 2 needs ball 1's velocity from before the exchange.
  scratch = first;
  first.MX = Exchanged(second.MX, first.MX);
  first.MY = Exchanged(second.MY, first.MY);
  second.MX = Exchanged(scratch.MX, second.MX);
  second.MY = Exchanged(scratch.MY, second.MY);
  return true;
}

}  // namespace kraylo
