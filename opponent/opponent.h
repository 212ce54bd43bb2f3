// The computer as the player of one ball. It sees what a person sees, both balls' places and
// speeds at each tick, answers it after its level's reaction time, and acts only by choosing which
// of its ball's four direction keys are held; the game itself it never touches.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "game/balls.h"
#include "game/seeded_random.h"
#include "input/directions.h"
#include "opponent/level.h"
#include "opponent/planner.h"
#include "opponent/slips.h"

namespace kraylo {

class Opponent {
 public:
  // Plays ball `ball` (1 or 2) at `level`; the same seed and the same game give the same keys.
  Opponent(Level level, uint64_t seed, int ball = 2);

  // Looks at `game` as it stands before a tick and returns the four direction bits (Left, Right,
  // Up, Down) its ball holds in that tick. Call once per tick, every tick, count-downs included.
  Directions Decide(const GameModel& game);

  Level level() const { return level_; }
  int ball() const { return ball_; }
  // What it settled on at its last decision; nullopt while it has nothing to answer yet (at the
  // start, and from the end of a round until it has seen the next one begin).
  const std::optional<Plan>& plan() const { return plan_; }
  // Whether the keys of its last decision were a slip rather than the plan's.
  bool slipped() const { return slips_.slipped(); }

 private:
  // What a person sees of a tick: both balls' places and speeds, and whether a round is over.
  struct Sighting {
    TBall first;
    TBall second;
    bool dropped = false;
  };
  // Longer than the slowest reaction plus the tick before it.
  static constexpr int kMemory = 16;

  const Sighting& SeenAt(int64_t tick) const;
  Directions HeldAt(int64_t tick) const;
  // The four keys the other ball held in the tick that led from one sighting to the next, as far
  // as its change of speed tells; 0 where a contact or a stop hides them.
  Directions OtherKeysBetween(const Sighting& before, const Sighting& after) const;
  // The game as it believes it stands before tick `now`, from what it saw before tick
  // `seen_tick`; nullopt when it saw no round being played then, or believes the round over.
  std::optional<GameModel> Believed(const GameModel& game, int64_t seen_tick, int64_t now,
                                    Directions other_keys) const;

  Level level_;
  LevelTraits traits_;
  int ball_;
  SeededRandom random_;  // the only chance it has: its slips
  Slips slips_;
  std::array<Sighting, kMemory> seen_{};    // by tick, in a ring
  std::array<Directions, kMemory> held_{};  // its own keys by tick, in a ring
  int64_t tick_ = 0;                        // ticks decided so far
  std::optional<Plan> plan_;
};

}  // namespace kraylo
