// A checksum of everything the simulation reads or writes: two machines, or a game and its replay,
// that agree on it are in the same state. The local switches Running and ShowDebug are left out.
#pragma once

#include <cstdint>

#include "game/balls.h"
#include "game/seeded_random.h"

namespace kraylo {

// FNV-1a over balls 1 to 3 (positions and velocities bit for bit, Visible), the drop state, the
// screen size and the generator's state.
uint32_t StateChecksum(const GameModel& game, const SeededRandom& random);

}  // namespace kraylo
