#include "opponent/look_ahead.h"

#include "game/motion.h"
#include "game/seeded_random.h"
#include "input/key_source.h"
#include "opponent/instinct.h"

namespace kraylo {

void StepCopy(GameModel& copy, Directions both) {
  KeyTable table{};
  SetDirections(table, both);
  TableKeys keys(table);
  // Only a new round would draw from it, and no look-ahead lasts until one.
  SeededRandom unused;
  MoveTick(copy, keys, unused);
}

PlayOutEnd PlayOut(const GameModel& game, int own, Directions first, Directions other_keys,
                   int ticks) {
  PlayOutEnd end{game};
  const Directions other = ForBall(other_keys, 3 - own);
  for (; end.ticks < ticks && !end.game.Dropped; ++end.ticks) {
    const Directions keys = end.ticks == 0 ? first : InstinctOf(end.game, own).keys;
    StepCopy(end.game, ForBall(keys, own) | other);
  }
  return end;
}

}  // namespace kraylo
