// How a moment of the game looks to the computer: how near each ball is to going over an edge
// once it has done its best to stop, and what that means for the computer's ball.
#pragma once

#include "game/balls.h"
#include "input/directions.h"

namespace kraylo {

// A ball covers twice as much ground along y as along x at the same speed: along y it jumps by its
// speed and then steps as many pixels again.
inline constexpr double kYGround = 2;

// The distance (pixels) a ball moving at `speed` (pixels per tick, along x; 0 or more) still goes
// while its player holds the opposite key.
double BrakingDistance(double speed);

// The smallest gap (pixels along x; a gap along y counts half, since a ball covers twice as much
// ground that way) between ball `index` and an edge once it has braked to a stop. Below 0 the
// ball goes over that edge whatever its player does.
double Room(const GameModel& game, int index);

// The keys (four bits) that brake ball `index` along each axis on which it is heading for an
// edge it could not otherwise stop before; 0 when it is safe.
Directions SafetyBrake(const GameModel& game, int index);

// What `game` is worth to ball `own` (1 or 2): the more the other ball is in danger of going
// over an edge and the less the own one is, the higher; a drop outweighs everything.
double Worth(const GameModel& game, int own);

}  // namespace kraylo
