#include "game/controls.h"

#include <array>
#include <cstdint>
#include <optional>

#include "game/finite.h"
#include "platform/keys.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

enum class Axis { kX, kY };

// One steering key: while held it adds `delta` to one velocity component of one ball. In contact
// it acts only when the other ball lies on the side `away_side` gives (+1: ball 2's offset from
// ball 1 along the axis is positive, -1: negative), so a ball can only be steered away.
struct SteeringKey {
  uint8_t key;    // scan code
  int ball;       // 1 or 2
  Axis axis;      // which velocity component
  double delta;   // pixels per tick
  int away_side;  // +1 or -1
};

// In the order the keys are examined.
constexpr std::array<SteeringKey, 8> kSteeringKeys{{
    {dik::kLeft, 1, Axis::kX, -1, +1},
    {dik::kRight, 1, Axis::kX, +1, -1},
    {dik::kUp, 1, Axis::kY, -1, +1},
    {dik::kDown, 1, Axis::kY, +1, -1},
    {dik::kA, 2, Axis::kX, -1, -1},
    {dik::kD, 2, Axis::kX, +1, +1},
    {dik::kW, 2, Axis::kY, -1, -1},
    {dik::kS, 2, Axis::kY, +1, +1},
}};

// Where ball 2 lies from ball 1, in whole pixels.
struct Offsets {
  int16_t x;
  int16_t y;
};

bool Held(const KeyTable& keys, uint8_t key) { return keys[key] != 0; }

// Applies every held steering key; `contact` (when the balls touch) restricts them to moving away.
void Steer(GameModel& game, const KeyTable& keys, const std::optional<Offsets>& contact) {
  for (const SteeringKey& steering : kSteeringKeys) {
    if (!Held(keys, steering.key)) continue;
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

void ReadControls(GameModel& game, KeySource& source) {
  const KeyTable& keys = source.Poll();
  if (Held(keys, dik::kEscape)) game.Running = false;
  if (Held(keys, dik::kTab)) game.ShowDebug = !game.ShowDebug;
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
