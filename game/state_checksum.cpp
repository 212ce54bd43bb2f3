#include "game/state_checksum.h"

#include <bit>

namespace kraylo {
namespace {

class Fnv1a {
 public:
  // Adds the `bytes` low bytes of `value`, least significant first, whatever the machine's order.
  void Add(uint64_t value, int bytes = 8) {
    for (int i = 0; i < bytes; ++i) {
      hash_ = (hash_ ^ static_cast<uint8_t>(value >> (8 * i))) * 16777619u;
    }
  }
  void Add(double value) { Add(std::bit_cast<uint64_t>(value)); }
  uint32_t hash() const { return hash_; }

 private:
  uint32_t hash_ = 2166136261u;
};

}  // namespace

uint32_t StateChecksum(const GameModel& game, const SeededRandom& random) {
  Fnv1a fnv;
  for (int index = BallArray::kLower; index <= BallArray::kUpper; ++index) {
    const TBall& ball = game.Balls(index);
    fnv.Add(ball.X);
    fnv.Add(ball.Y);
    fnv.Add(ball.MX);
    fnv.Add(ball.MY);
    fnv.Add(ball.Visible ? 1u : 0u, 1);
  }
  fnv.Add(game.Dropped ? 1u : 0u, 1);
  fnv.Add(static_cast<uint32_t>(game.TimeToDrop), 4);
  fnv.Add(static_cast<uint32_t>(game.DroppedPlayer), 4);
  fnv.Add(static_cast<uint32_t>(game.ScreenWidth), 4);
  fnv.Add(static_cast<uint32_t>(game.ScreenHeight), 4);
  fnv.Add(random.state());
  return fnv.hash();
}

}  // namespace kraylo
