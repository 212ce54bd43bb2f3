// The players' keys, read once per tick: arrows for ball 1, W A S D for ball 2, Esc and Tab.
#pragma once

#include "game/balls.h"
#include "input/key_source.h"

namespace kraylo {

// Esc held clears Running and Tab held toggles ShowDebug: the keys that act on this machine's
// program, never on the game's state.
void ApplyProgramKeys(GameModel& game, const KeyTable& keys);

// Polls the keys and applies them: Esc clears Running, Tab toggles ShowDebug, direction keys add
// to velocities (in contact only away from the other ball; not at all during a count-down).
void ReadControls(GameModel& game, KeySource& source);

}  // namespace kraylo
