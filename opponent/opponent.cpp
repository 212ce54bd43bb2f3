#include "opponent/opponent.h"

#include <cmath>

#include "game/motion.h"
#include "opponent/look_ahead.h"
#include "opponent/steering.h"

namespace kraylo {
namespace {

// How far (pixels per tick) a change of speed may lie from a whole key's worth and still be read
// as keys: friction is known, anything else is a contact or a stop.
constexpr double kKeyTolerance = 0.05;

// The push (-1, 0 or +1) that took a speed from `before` to `after` in one tick, or 0 when the
// change is not a key's.
int PushBetween(double before, double after) {
  const double push = after * kFrictionDivisor - before;
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

Directions Opponent::HeldAt(int64_t tick) const {
  return held_[static_cast<size_t>(tick % kMemory)];
}

Directions Opponent::OtherKeysBetween(const Sighting& before, const Sighting& after) const {
  if (before.dropped || after.dropped) return 0;
  const TBall& from = ball_ == 1 ? before.second : before.first;
  const TBall& to = ball_ == 1 ? after.second : after.first;
  return steer::Push(PushBetween(from.MX, to.MX), PushBetween(from.MY, to.MY));
}

std::optional<GameModel> Opponent::Believed(const GameModel& game, int64_t seen_tick, int64_t now,
                                            Directions other_keys) const {
  if (seen_tick < 0 || SeenAt(seen_tick).dropped) return std::nullopt;
  GameModel view;
  view.ScreenWidth = game.ScreenWidth;
  view.ScreenHeight = game.ScreenHeight;
  view.Balls(1) = SeenAt(seen_tick).first;
  view.Balls(2) = SeenAt(seen_tick).second;
  // Carried forward over the reaction time with the keys it knows it held since, the other ball
  // taken to go on as it was going.
  if (traits_.anticipates) {
    for (int64_t tick = seen_tick; tick < now && !view.Dropped; ++tick) {
      StepCopy(view, ForBall(HeldAt(tick), ball_) | ForBall(other_keys, 3 - ball_));
    }
  }
  if (view.Dropped) return std::nullopt;
  return view;
}

Directions Opponent::Decide(const GameModel& game) {
  const int64_t now = tick_++;
  seen_[static_cast<size_t>(now % kMemory)] = Sighting{game.Balls(1), game.Balls(2), game.Dropped};
  Directions& held = held_[static_cast<size_t>(now % kMemory)];
  held = 0;

  // What happened in a tick shows in the sighting before the next one, and is answered this many
  // ticks after that.
  const int64_t seen_tick = now - (traits_.reaction_ticks - 1);
  const Directions other_keys =
      seen_tick < 1 ? Directions{0} : OtherKeysBetween(SeenAt(seen_tick - 1), SeenAt(seen_tick));
  const std::optional<GameModel> view = Believed(game, seen_tick, now, other_keys);
  if (!view) {
    plan_.reset();
    return held;
  }
  plan_ = ChoosePush(*view, ball_, other_keys, traits_.look_ahead_ticks);
  held = slips_.Apply(plan_->keys, now == 0 ? Directions{0} : HeldAt(now - 1), random_);
  return held;
}

}  // namespace kraylo
