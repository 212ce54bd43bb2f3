// Two players at one machine: the simulation reads the local keys as they are.
#include <optional>

#include "game/motion.h"
#include "game/seeded_random.h"
#include "game/state_checksum.h"
#include "input/directions.h"
#include "input/key_source.h"
#include "shell/match.h"
#include "shell/program.h"

namespace kraylo {
namespace {

class LocalMatch final : public Match {
 public:
  void Tick(Program& program, const KeyTable& local) override {
    GameModel& game = program.game;
    if (program.recorder && !recorded_random_) {
      // A recorded game draws its rounds from a seed the replay keeps; the state before its first
      // tick is the game's start.
      const uint64_t seed = DrawSeed(program.system.random());
      recorded_random_.emplace(seed);
      program.recorder->BeginGame(seed, game.ScreenWidth, game.ScreenHeight,
                                  StateChecksum(game, *recorded_random_));
    }
    TableKeys keys(local);
    MoveTick(game, keys, recorded_random_ ? *recorded_random_ : program.system.random());
    if (recorded_random_) {
      program.recorder->Tick(DirectionsOf(local), StateChecksum(game, *recorded_random_));
    }
  }

 private:
  std::optional<SeededRandom> recorded_random_;  // the rounds' chance while recording
};

}  // namespace

std::unique_ptr<Match> MakeLocalMatch() { return std::make_unique<LocalMatch>(); }

}  // namespace kraylo
