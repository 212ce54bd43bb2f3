// The players' keys, read once per tick: arrows for ball 1, W A S D for ball 2, Esc and Tab.
#pragma once

#include "game/balls.h"
#include "input/key_source.h"

namespace kraylo {

// Polls the keys and applies them: Esc clears Running, Tab toggles ShowDebug, direction keys add
// to velocities (in contact only away from the other ball; not at all during a count-down).
void ReadControls(GameModel& game, KeySource& source);

}  // namespace kraylo
