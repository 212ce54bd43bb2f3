// The rounds' chance of a game, and its recording: what every kind of game played on this
// machine shares when the run records (--record).
#pragma once

#include <cstdint>
#include <optional>

#include "game/seeded_random.h"
#include "input/directions.h"
#include "net/session.h"
#include "platform/platform.h"

namespace kraylo {

struct Program;
class ReplayWriter;

class RecordedRounds {
 public:
  // `seed`: the rounds come from it. Without one, a recorded game draws a seed at its first tick
  // (the replay keeps it) and an unrecorded game uses the machine's chance, as it always did.
  explicit RecordedRounds(std::optional<uint64_t> seed = std::nullopt);

  // Called before each tick of the game: the chance its rounds draw from. At the first tick of a
  // recorded game, the game's start goes to the recorder.
  Random& Before(Program& program);
  // Called after each tick: its directions and the state after it go to the recorder.
  void After(Program& program, Directions directions);

 private:
  std::optional<uint64_t> seed_;
  std::optional<SeededRandom> seeded_;  // the rounds' chance once seeded
  bool recording_ = false;              // the game's start has gone to the recorder
};

// A network game is recorded as its ticks become final on both sides (the ticks still predicted
// when the game ends are not): these hooks hand its start and its confirmed ticks to `writer`.
ConfirmedTickHooks RecordingHooks(ReplayWriter& writer);

}  // namespace kraylo
