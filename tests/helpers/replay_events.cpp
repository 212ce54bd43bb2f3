// Lists what happens in a recorded game, found from the game's states alone (not from what the
// ticks report for the sound): the ticks where the balls come to touch, where a ball goes over an
// edge, and where the next round begins. Ball 1 moves first in a tick, so a touch can also be
// seen between ball 1 where it ended and ball 2 where it started (ball 2 may then move away). The
// sound's proof marks these on the output's loudness. Usage: replay_events <file.krp>   prints
// "<tick> <contact|drop|round>" per line, ticks counted from the first game's first across all
// games.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "game/motion.h"
#include "replay/replay_check.h"

namespace {

bool Touch(const kraylo::TBall& first, const kraylo::TBall& second) {
  return std::hypot(first.X - second.X, first.Y - second.Y) < kraylo::kContactDistance;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: replay_events <file.krp>\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  try {
    const kraylo::Replay replay = kraylo::ParseReplay(bytes.str());
    int64_t tick = 0;
    for (const kraylo::RecordedGame& recorded : replay.games) {
      kraylo::GameModel game;
      kraylo::SeededRandom random;
      kraylo::StartRecordedGame(game, random, recorded);
      for (const kraylo::Directions input : recorded.inputs) {
        const kraylo::GameModel before = game;
        kraylo::MoveTick(game, input, random);
        const bool touching = Touch(before.Balls(1), before.Balls(2));
        const bool touches =
            Touch(game.Balls(1), game.Balls(2)) || Touch(game.Balls(1), before.Balls(2));
        const bool dropped = before.Dropped;
        if (touches && !touching && !dropped) {
          std::printf("%lld contact\n", static_cast<long long>(tick));
        }
        if (game.Dropped && !dropped) std::printf("%lld drop\n", static_cast<long long>(tick));
        if (dropped && !game.Dropped) std::printf("%lld round\n", static_cast<long long>(tick));
        ++tick;
      }
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "replay_events: %s: %s\n", argv[1], error.what());
    return 1;
  }
  return 0;
}
