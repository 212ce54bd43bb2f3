// One tick of the game: controls, count-down, pixel-by-pixel motion with contact, friction, walls.
#pragma once

#include "game/balls.h"
#include "input/directions.h"
#include "input/key_source.h"
#include "platform/platform.h"

namespace kraylo {

// Each tick friction divides a moved ball's MX and MY by this.
inline constexpr double kFrictionDivisor = 1.03;

// Advances the game by one tick of the 30 ms timer. Allocates nothing.
void MoveTick(GameModel& game, KeySource& keys, Random& random);

// A tick whose keys are the direction keys in `directions` and nothing else: the tick of a game
// whose input is decided elsewhere (recorded, or from the other side of a network game).
void MoveTick(GameModel& game, Directions directions, Random& random);

// When balls 1 and 2 touch, exchanges their velocities (80 % of the other's, minus 20 % of the
// own) through the scratch record and returns true; positions never change.
bool Bounce(GameModel& game);

}  // namespace kraylo
