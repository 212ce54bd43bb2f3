#include "opponent/opponent.h"

#include <cmath>

#include "opponent/look_ahead.h"
#include "opponent/steering.h"

namespace kraylo {
namespace {

constexpr double kFriction = 1.03;
// How far (pixels per tick) a change of speed may lie from a whole key's worth and still be read
// as keys: friction is known, anything else is a contact or a stop.
constexpr double kKeyTolerance = 0.05;

// The push (-1, 0 or +1) that took a speed from `before` to `after` in one tick, or 0 when the
// change is not a key's.
int PushBetween(double before, double after) {
  const double push = after * kFriction - before;
  const double whole = std::round(push);
  if (std::fabs(push - whole) > kKeyTolerance || std::fabs(whole) > 1) return 0;
  return static_cast<int>(whole);
}

}  // namespace

Opponent::Opponent(Level level, uint64_t seed, int ball)
    : level_(level),
      traits_(TraitsOf(level)),
      ball_(ball),
      random_(seed),
      slips_(traits_.slip_chance) {}

const Opponent::Sighting& Opponent::SeenAt(int64_t tick) const {
  return seen_[static_cast<size_t>(tick % kMemory)];
}

Directions Opponent::OtherKeysBetween(const Sighting& before, const Sighting& after) const {
  const TBall& from = ball_ == 1 ? before.second : before.first;
  const TBall& to = ball_ == 1 ? after.second : after.first;
  if (before.dropped || after.dropped) return 0;
  return steer::Push(PushBetween(from.MX, to.MX), PushBetween(from.MY, to.MY));
}

Directions Opponent::Decide(const GameModel& game) {
  const int64_t now = tick_++;
  seen_[static_cast<size_t>(now % kMemory)] = Sighting{game.Balls(1), game.Balls(2), game.Dropped};
  Directions& held = held_[static_cast<size_t>(now % kMemory)];
  held = 0;

  // What happened in a tick shows in the sighting before the next; it answers it this much later.
  const int lag = traits_.reaction_ticks - 1;
  const int64_t seen_tick = now - lag;
  if (seen_tick < 0 || SeenAt(seen_tick).dropped) {
    plan_.reset();
    return held;
  }
  const Sighting& seen = SeenAt(seen_tick);
  const Directions other_keys =
      seen_tick == 0 ? Directions{0} : OtherKeysBetween(SeenAt(seen_tick - 1), seen);

  GameModel view;
  view.ScreenWidth = game.ScreenWidth;
  view.ScreenHeight = game.ScreenHeight;
  view.Balls(1) = seen.first;
  view.Balls(2) = seen.second;
  const int other = 3 - ball_;
  if (traits_.anticipates) {
    for (int64_t tick = seen_tick; tick < now && !view.Dropped; ++tick) {
      StepCopy(view, ForBall(held_[static_cast<size_t>(tick % kMemory)], ball_) |
                         ForBall(other_keys, other));
    }
  }
  if (view.Dropped) {
    plan_.reset();
    return held;
  }
  plan_ = ChoosePush(view, ball_, other_keys, traits_.look_ahead_ticks);
  const Directions last = now == 0 ? Directions{0} : held_[static_cast<size_t>((now - 1) % kMemory)];
  held = slips_.Apply(plan_->keys, last, random_);
  return held;
}

}  // namespace kraylo
