// A game as the simulation sees it, and where a seeded game starts: what a network game's two
// sides, a recording and its replay all start from.
#pragma once

#include <cstdint>

#include "game/balls.h"
#include "game/seeded_random.h"

namespace kraylo {

// Everything the simulation reads or writes: the model and the generator that places the rounds.
// The model's Running and ShowDebug belong to the player's machine and mean nothing here.
struct GameState {
  GameModel game;
  SeededRandom random = SeededRandom(0);
};

// A seeded game at its first tick: `width` x `height` pixels, the first round placed (ResetBalls
// mode 0: both balls centred and at rest, the drop state clear) and the generator seeded with
// `seed`. Running is set.
GameState StartingState(int32_t width, int32_t height, uint64_t seed);

}  // namespace kraylo
