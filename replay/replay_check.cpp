#include "replay/replay_check.h"

#include <string>

#include "game/game_state.h"
#include "game/motion.h"
#include "game/state_checksum.h"

namespace kraylo {
std::string HexChecksum(uint32_t value) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 0xF];
  return text;
}

ReplayError ChecksumMismatch(uint64_t tick, size_t game_number, bool several_games,
                             uint32_t recorded, uint32_t played) {
  const std::string which = several_games ? " of game " + std::to_string(game_number) : "";
  return ReplayError("checksum mismatch at tick " + std::to_string(tick) + which + ": recorded " +
                     HexChecksum(recorded) + ", played again " + HexChecksum(played));
}

void StartRecordedGame(GameModel& game, SeededRandom& random, const RecordedGame& recorded) {
  GameState start = StartingState(recorded.width, recorded.height, recorded.seed);
  start.game.Running = game.Running;
  start.game.ShowDebug = game.ShowDebug;
  game = start.game;
  random = start.random;
}

ReplaySummary CheckReplay(const Replay& replay) {
  ReplaySummary summary;
  GameModel game;
  SeededRandom random;
  for (const RecordedGame& recorded : replay.games) {
    ++summary.games;
    StartRecordedGame(game, random, recorded);
    size_t tick = 0;
    for (const ReplayCheckpoint& checkpoint : recorded.checkpoints) {
      for (; tick < checkpoint.tick; ++tick) MoveTick(game, recorded.inputs[tick], random);
      const uint32_t checksum = StateChecksum(game, random);
      if (checksum != checkpoint.checksum) {
        throw ChecksumMismatch(tick, summary.games, replay.games.size() > 1, checkpoint.checksum,
                               checksum);
      }
      ++summary.checkpoints;
      summary.final_checksum = checksum;
    }
    summary.ticks += recorded.inputs.size();
  }
  return summary;
}

}  // namespace kraylo
