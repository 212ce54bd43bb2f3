// One tick of the game: controls, count-down, pixel-by-pixel motion with contact, friction, walls.
#pragma once

#include "game/balls.h"
#include "input/directions.h"
#include "input/key_source.h"
#include "platform/platform.h"

namespace kraylo {

// Each tick friction divides a moved ball's MX and MY by this.
inline constexpr double kFrictionDivisor = 1.03;

// What a tick did that the players hear, as plain values: the program turns them into sounds,
// the simulation never reads them back.
struct TickEvents {
  bool contact = false;      // the balls began to touch (they did not at the tick's start)
  double contact_speed = 0;  // how hard: their relative speed along the line between the
                             // centres at the first touch, pixels per tick (0 or more)
  bool drop = false;         // a ball went over an edge: the count-down began
  bool round_start = false;  // the count-down ended and the next round began
};

// Advances the game by one tick of the 30 ms timer and, when `events` is given (fresh for each
// tick), sets there what the tick did. Allocates nothing.
void MoveTick(GameModel& game, KeySource& keys, Random& random, TickEvents* events = nullptr);

// A tick whose keys are the direction keys in `directions` and nothing else: the tick of a game
// whose input is decided elsewhere (recorded, or from the other side of a network game).
void MoveTick(GameModel& game, Directions directions, Random& random, TickEvents* events = nullptr);

// When balls 1 and 2 touch, exchanges their velocities (80 % of the other's, minus 20 % of the
// own) through the scratch record and returns true; positions never change.
bool Bounce(GameModel& game);

}  // namespace kraylo
