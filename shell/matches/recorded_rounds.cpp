#include "shell/matches/recorded_rounds.h"

#include "game/game_state.h"
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

ConfirmedTickHooks RecordingHooks(ReplayWriter& writer) {
  ConfirmedTickHooks hooks;
  hooks.game_started = [&writer](uint64_t seed, int32_t width, int32_t height) {
    const GameState start = StartingState(width, height, seed);
    writer.BeginGame(seed, width, height, StateChecksum(start.game, start.random));
  };
  hooks.tick_confirmed = [&writer](int64_t, Directions input, const GameModel& game,
                                   const SeededRandom& random) {
    writer.Tick(input, StateChecksum(game, random));
  };
  return hooks;
}

}  // namespace kraylo
