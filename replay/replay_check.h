// Playing recorded games again with the game's own motion step, from their recorded keys.
#pragma once

#include <cstdint>
#include <string>

#include "game/balls.h"
#include "game/seeded_random.h"
#include "replay/replay_file.h"

namespace kraylo {

// Puts `game` and `random` where `recorded` started: its field, balls 1 and 2 centred and at rest,
// the drop state clear, its seed. Running and ShowDebug are the viewer's and stay as they are.
void StartRecordedGame(GameModel& game, SeededRandom& random, const RecordedGame& recorded);

struct ReplaySummary {
  size_t games = 0;
  uint64_t ticks = 0;           // of every game together
  uint32_t final_checksum = 0;  // StateChecksum of the last game's last state
  size_t checkpoints = 0;       // checksums compared, the games' ends included
};

// Plays every game of `replay` again and compares each recorded checksum with the state reached;
// raises ReplayError "checksum mismatch at tick N" (naming the game when there are several).
ReplaySummary CheckReplay(const Replay& replay);

// A checksum as the messages write it: eight lower-case hex digits.
std::string HexChecksum(uint32_t value);

// The error of a recorded checksum that the state played again does not have: at tick `tick` of
// game `game_number` (from 1; named only when the replay holds `several_games`).
ReplayError ChecksumMismatch(uint64_t tick, size_t game_number, bool several_games,
                             uint32_t recorded, uint32_t played);

}  // namespace kraylo
