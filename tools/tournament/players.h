// The players of the tournament: the computer at each level, and scripted players that steer by a
// fixed rule. Each sees the game before a tick and chooses its ball's four direction keys.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "game/balls.h"
#include "input/directions.h"
#include "opponent/level.h"

namespace kraylo::tournament {

class Player {
 public:
  virtual ~Player() = default;
  // The four direction bits (Left, Right, Up, Down) its ball holds in the coming tick.
  virtual Directions Decide(const GameModel& game) = 0;
};

// The scripted players.
enum class Script {
  kStill,         // holds no key
  kCentrePusher,  // always pushes towards the centre of the screen
  kRammer,        // always pushes straight at the other ball
  kMirror,        // keeps to the other ball's mirror image through the centre, moving as it does
};

inline constexpr Script kScripts[] = {Script::kStill, Script::kCentrePusher, Script::kRammer,
                                      Script::kMirror};

// "still", "centre-pusher", "rammer", "mirror".
std::string ScriptName(Script script);

// A scripted player for ball `ball` (1 or 2).
std::unique_ptr<Player> MakeScripted(Script script, int ball);
// The computer at `level` for ball `ball`, its slips drawn from `seed`.
std::unique_ptr<Player> MakeComputer(Level level, uint64_t seed, int ball);

}  // namespace kraylo::tournament
