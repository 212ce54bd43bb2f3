#include "tools/tournament/rounds.h"

#include "game/motion.h"
#include "game/seeded_random.h"
#include "input/key_source.h"

namespace kraylo::tournament {

Round PlayRound(Player& first, Player& second, uint64_t seed) {
  GameModel game;
  game.ScreenWidth = kWidth;
  game.ScreenHeight = kHeight;
  game.Running = true;
  SeededRandom random(seed);
  ResetBalls(game, random, 1);
  KeyTable table{};
  TableKeys keys(table);
  Round round;
  while (round.ticks < kLongestRound && !game.Dropped) {
    const Directions both = ForBall(first.Decide(game), 1) | ForBall(second.Decide(game), 2);
    SetDirections(table, both);
    MoveTick(game, keys, random);
    ++round.ticks;
  }
  if (game.Dropped) round.winner = 3 - game.DroppedPlayer;
  return round;
}

Tally PlayMatch(const PlayerMaker& a, const PlayerMaker& b, int rounds, uint64_t first_seed,
                bool swap_balls) {
  Tally tally;
  for (int i = 0; i < rounds; ++i) {
    const uint64_t seed = first_seed + static_cast<uint64_t>(i);
    const bool a_first = !swap_balls || i % 2 == 0;
    const int a_ball = a_first ? 1 : 2;
    std::unique_ptr<Player> a_player = a(a_ball, seed);
    std::unique_ptr<Player> b_player = b(3 - a_ball, seed);
    const Round round =
        a_first ? PlayRound(*a_player, *b_player, seed) : PlayRound(*b_player, *a_player, seed);
    if (round.winner == 0) {
      ++tally.draws;
    } else if (round.winner == a_ball) {
      ++tally.a_wins;
    } else {
      ++tally.b_wins;
    }
  }
  return tally;
}

}  // namespace kraylo::tournament
