// The computer's choice of keys: its instinct, put to the test by the look-ahead. Each of the
// nine pushes is played out a few ticks ahead, the instinct taking over after the first tick,
// and a push other than the instinct's wins only when its play-out ends clearly better.
#pragma once

#include "game/balls.h"
#include "input/directions.h"
#include "opponent/instinct.h"

namespace kraylo {

struct Plan {
  Instinct instinct;            // what the instinct said
  Directions keys = 0;          // four bits the own ball holds
  bool second_thought = false;  // the look-ahead found keys better than the instinct's
};

// The keys for ball `own` of `game`, the other ball taken to hold `other_keys` (four bits); with
// `ticks` 0 the instinct alone, else each push played out that many ticks.
Plan ChoosePush(const GameModel& game, int own, Directions other_keys, int ticks);

}  // namespace kraylo
