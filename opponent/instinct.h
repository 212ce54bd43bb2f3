// The computer's instinct: the push a practised player makes without thinking ahead. Get round
// to the side of the other ball away from the edge it is nearest to, then charge at it; brake
// before going over an edge oneself.
#pragma once

#include "game/balls.h"
#include "input/directions.h"

namespace kraylo {

// What the instinct is doing.
enum class Move {
  kGoRound,    // in front of the other ball (between it and its edge): round to its side
  kGetBehind,  // to the point behind the other ball from which a charge drives it out
  kCharge,     // straight at where the other ball will be
};

struct Instinct {
  Directions keys = 0;  // four bits for the own ball
  Move move = Move::kGetBehind;
  bool braking = false;  // an edge too close overrode the keys along some axis
  double target_x = 0;   // where it steers to, pixels
  double target_y = 0;   // pixels
};

// The instinct of ball `own` (1 or 2) in `game`.
Instinct InstinctOf(const GameModel& game, int own);

}  // namespace kraylo
