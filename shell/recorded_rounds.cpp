#include "shell/recorded_rounds.h"

#include "game/state_checksum.h"
#include "shell/program.h"

namespace kraylo {

RecordedRounds::RecordedRounds(std::optional<uint64_t> seed) : seed_(seed) {
  if (seed_) seeded_.emplace(*seed_);
}

Random& RecordedRounds::Before(Program& program) {
  if (program.recorder && !recording_) {
    if (!seed_) {
      seed_ = DrawSeed(program.system.random());
      seeded_.emplace(*seed_);
    }
    // The state before the first tick is the game's start.
    const GameModel& game = program.game;
    program.recorder->BeginGame(*seed_, game.ScreenWidth, game.ScreenHeight,
                                StateChecksum(game, *seeded_));
    recording_ = true;
  }
  return seeded_ ? static_cast<Random&>(*seeded_) : program.system.random();
}

void RecordedRounds::After(Program& program, Directions directions) {
  if (recording_) program.recorder->Tick(directions, StateChecksum(program.game, *seeded_));
}

}  // namespace kraylo
