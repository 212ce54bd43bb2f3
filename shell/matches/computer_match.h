// One person against the computer: the person steers ball 1 with either key set, the computer
// holds ball 2's keys. Everything else (Esc, Tab, the rounds) is as in a local game.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "input/directions.h"
#include "opponent/opponent.h"
#include "platform/platform.h"
#include "shell/matches/match.h"
#include "shell/matches/recorded_rounds.h"

namespace kraylo {

class ComputerMatch final : public Match {
 public:
  // The computer at `level`, its slips drawn from `seed`. With `seeded_rounds` the rounds are
  // placed from `seed` too, so that the same seed and the same keys play the same game; otherwise
  // from the machine's generator, as in a local game.
  ComputerMatch(Level level, uint64_t seed, bool seeded_rounds);

  void Tick(Program& program, const KeyTable& local) override;
  // The level, where the computer steers to and what it is doing.
  std::vector<std::string> OverlayLines() const override;

  Level level() const { return opponent_.level(); }
  // The direction keys of the last tick as the simulation got them: the person's on ball 1's
  // bits, the computer's on ball 2's.
  Directions last_directions() const { return last_directions_; }

 private:
  Opponent opponent_;
  RecordedRounds rounds_;
  Directions last_directions_ = 0;
};

// The computer at `level` for a run of the program. With a seed everything drawn comes from it;
// without one the rounds are placed as in a local game and the computer's slips are seeded from
// `clock`.
std::unique_ptr<Match> MakeComputerMatch(Level level, std::optional<uint64_t> seed, Clock& clock);

}  // namespace kraylo
