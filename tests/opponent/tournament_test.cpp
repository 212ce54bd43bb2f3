// The tournament the computer is measured by: scripted players that do what their names say,
// rounds and tallies, and the hard level's edge over every scripted player.
#include <gtest/gtest.h>

#include "opponent/steering.h"
#include "tests/game/game_fakes.h"
#include "tools/tournament/players.h"
#include "tools/tournament/rounds.h"

namespace kraylo::tournament {
namespace {

using steer::kDown;
using steer::kLeft;
using steer::kRight;
using steer::kUp;

TEST(ScriptedPlayers, SteerAsTheirNamesSay) {
  // Ball 1 up and left of the centre (400, 300), ball 2 further right and below it, moving right.
  GameModel game = Model(300, 250, 500, 420);
  game.Balls(2).MX = 4;
  const struct {
    Script script;
    int ball;
    Directions keys;
  } cases[] = {
      {Script::kStill, 1, 0},
      {Script::kStill, 2, 0},
      {Script::kCentrePusher, 1, kRight | kDown},
      {Script::kCentrePusher, 2, kLeft | kUp},
      {Script::kRammer, 1, kRight | kDown},
      {Script::kRammer, 2, kLeft | kUp},
      // Ball 2's mirror image is (300, 180), moving left: ball 1 goes up and left with it.
      {Script::kMirror, 1, kLeft | kUp},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MakeScripted(c.script, c.ball)->Decide(game), c.keys)
        << ScriptName(c.script) << " on ball " << c.ball;
  }
}

TEST(Rounds, EndWithTheBallStillOnTheScreenOrADrawAndMatchesTallyThem) {
  // Two still balls never lose a round.
  const auto still_1 = MakeScripted(Script::kStill, 1);
  const auto still_2 = MakeScripted(Script::kStill, 2);
  const Round draw = PlayRound(*still_1, *still_2, 1);
  EXPECT_EQ(draw.winner, 0);
  EXPECT_EQ(draw.ticks, kLongestRound);

  // A rammer drives a still ball over an edge.
  const auto rammer = MakeScripted(Script::kRammer, 2);
  const Round rammed = PlayRound(*still_1, *rammer, 1);
  EXPECT_LT(rammed.ticks, kLongestRound);
  EXPECT_NE(rammed.winner, 0);

  int balls_of_a[3] = {};
  const PlayerMaker a = [&](int ball, uint64_t) {
    ++balls_of_a[ball];
    return MakeScripted(Script::kRammer, ball);
  };
  const PlayerMaker b = [](int ball, uint64_t) { return MakeScripted(Script::kStill, ball); };
  const Tally tally = PlayMatch(a, b, 10, 1, true);
  EXPECT_EQ(tally.rounds(), 10);
  EXPECT_EQ(balls_of_a[1], 5) << "the balls change sides every round";
  EXPECT_EQ(balls_of_a[2], 5);
  EXPECT_GT(tally.a_wins, tally.b_wins);
}

TEST(Tournament, HardWinsMostRoundsAgainstEveryScriptedPlayer) {
  for (Script script : kScripts) {
    const Tally tally =
        PlayMatch([script](int ball, uint64_t) { return MakeScripted(script, ball); },
                  [](int ball, uint64_t seed) { return MakeComputer(Level::kHard, seed, ball); },
                  40, 1000, false);
    EXPECT_GE(tally.b_wins, 32) << "of 40 against " << ScriptName(script);
  }
}

}  // namespace
}  // namespace kraylo::tournament
