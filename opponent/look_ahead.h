// The computer's look-ahead: the game's own motion step played on a copy of the game, never on
// the game itself.
#pragma once

#include "game/balls.h"
#include "input/directions.h"

namespace kraylo {

// One tick of the motion step on `copy` with the direction keys `both` held (bits of both balls).
// A round that ends in the copy is never placed again: its count-down outlasts every look-ahead.
void StepCopy(GameModel& copy, Directions both);

// How a play-out ended.
struct PlayOutEnd {
  GameModel game;  // the copy as it ended
  int ticks = 0;   // ticks played: all of them, or fewer when a ball went over an edge
};

// Plays up to `ticks` ticks on a copy of `game`: ball `own` holds `first` (four bits) in the first
// tick and then what its instinct says, the other ball holds `other_keys` throughout. Stops at
// a drop.
PlayOutEnd PlayOut(const GameModel& game, int own, Directions first, Directions other_keys,
                   int ticks);

}  // namespace kraylo
