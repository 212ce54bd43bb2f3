// Whole rounds played headless with the game's own motion step, and matches of many rounds.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "tools/tournament/players.h"

namespace kraylo::tournament {

// The screen of the tournament, as the shipped configuration sets it (pixels).
inline constexpr int32_t kWidth = 800;
inline constexpr int32_t kHeight = 600;
// A round that no ball has lost after this many ticks (a minute) is a draw.
inline constexpr int kLongestRound = 2000;

// How one round ended.
struct Round {
  int winner = 0;  // 1 or 2, the ball still on the screen; 0 for a draw
  int ticks = 0;   // ticks played
};

// Plays one round from the places `seed` draws for it until a ball goes over an edge.
Round PlayRound(Player& first, Player& second, uint64_t seed);

// Makes a fresh player for ball `ball` (1 or 2) for a round with seed `seed`.
using PlayerMaker = std::function<std::unique_ptr<Player>(int ball, uint64_t seed)>;

// Round wins of a match between A and B.
struct Tally {
  int a_wins = 0;
  int b_wins = 0;
  int draws = 0;
  int rounds() const { return a_wins + b_wins + draws; }
};

// `rounds` rounds between A and B with the seeds `first_seed`, `first_seed` + 1, ...; with
// `swap_balls`, B plays ball 1 in every second round, else always A does.
Tally PlayMatch(const PlayerMaker& a, const PlayerMaker& b, int rounds, uint64_t first_seed,
                bool swap_balls);

}  // namespace kraylo::tournament
