#include "game/controls.h"

#include <array>
#include <cstdint>
#include <optional>

#include "game/finite.h"
#include "input/directions.h"
#include "platform/keys.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

enum class Axis { kX, kY };

// What one direction key does: while held it adds `delta` to one velocity component of one ball.
// In contact it acts only when the other ball lies on the side `away_side` gives (+1: ball 2's
// offset from ball 1 along the axis is positive, -1: negative), so a ball can only be steered away.
struct SteeringKey {
  int ball;       // 1 or 2
  Axis axis;      // which velocity component
  double delta;   // pixels per tick
  int away_side;  // +1 or -1
};

// For each of kDirectionKeys, in the order the keys are examined: ball 1's Left, Right, Up, Down
// (the arrows), then ball 2's (A, D, W, S).
constexpr std::array<SteeringKey, kDirectionKeys.size()> kSteeringKeys{{
    {1, Axis::kX, -1, +1},
    {1, Axis::kX, +1, -1},
    {1, Axis::kY, -1, +1},
    {1, Axis::kY, +1, -1},
    {2, Axis::kX, -1, -1},
    {2, Axis::kX, +1, +1},
    {2, Axis::kY, -1, -1},
    {2, Axis::kY, +1, +1},
}};

// Where ball 2 lies from ball 1, in whole pixels.
struct Offsets {
  int16_t x;
  int16_t y;
};

bool Held(const KeyTable& keys, uint8_t key) { return keys[key] != 0; }

// Applies every held steering key; `contact` (when the balls touch) restricts them to moving away.
void Steer(GameModel& game, const KeyTable& keys, const std::optional<Offsets>& contact) {
  for (size_t i = 0; i < kSteeringKeys.size(); ++i) {
    if (!Held(keys, kDirectionKeys[i])) continue;
    const SteeringKey& steering = kSteeringKeys[i];
    if (contact) {
      const int offset = steering.axis == Axis::kX ? contact->x : contact->y;
      if (offset * steering.away_side <= 0) continue;
    }
    TBall& ball = game.Balls(steering.ball);
    double& velocity = steering.axis == Axis::kX ? ball.MX : ball.MY;
    velocity = Finite(velocity + steering.delta);
  }
}

}  // namespace

void ApplyProgramKeys(GameModel& game, const KeyTable& keys) {
  if (Held(keys, key_index::kEscape)) game.Running = false;
  if (Held(keys, key_index::kTab)) game.ShowDebug = !game.ShowDebug;
}

void ReadControls(GameModel& game, KeySource& source) {
  const KeyTable& keys = source.Poll();
  ApplyProgramKeys(game, keys);
  if (game.Dropped) return;

  // The distance from where the balls stand before this tick moves them.
  if (!InContact(game)) {
    Steer(game, keys, std::nullopt);
    return;
  }
  const TBall& first = game.Balls(1);
  const TBall& second = game.Balls(2);
  const int16_t offset_x = ToInt16(second.X - first.X);
  const int16_t offset_y = ToInt16(second.Y - first.Y);
  Steer(game, keys, Offsets{offset_x, offset_y});
}

}  // namespace kraylo
