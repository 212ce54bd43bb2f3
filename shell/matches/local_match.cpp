// Two players at one machine: the simulation reads the local keys as they are.
#include "game/motion.h"
#include "input/directions.h"
#include "input/key_source.h"
#include "shell/matches/match.h"
#include "shell/matches/recorded_rounds.h"
#include "shell/program.h"

namespace kraylo {
namespace {

class LocalMatch final : public Match {
 public:
  void Tick(Program& program, const KeyTable& local) override {
    TableKeys keys(local);
    TickEvents events;
    MoveTick(program.game, keys, rounds_.Before(program), &events);
    program.sound.game.RanNext(events);
    rounds_.After(program, DirectionsOf(local));
  }

 private:
  RecordedRounds rounds_;
};

}  // namespace

std::unique_ptr<Match> MakeLocalMatch() { return std::make_unique<LocalMatch>(); }

}  // namespace kraylo
