// How the computer thinks: its judgement of a moment, its instinct, and a look-ahead that plays
// exactly the game's own motion step.
#include <gtest/gtest.h>

#include "game/state_checksum.h"
#include "input/key_source.h"
#include "opponent/instinct.h"
#include "opponent/judgement.h"
#include "opponent/look_ahead.h"
#include "opponent/planner.h"
#include "opponent/steering.h"
#include "tests/game/game_fakes.h"

namespace kraylo {
namespace {

using steer::kDown;
using steer::kLeft;
using steer::kRight;
using steer::kUp;

TEST(Judgement, BrakingTakesLongerTheFasterAndRoomRunsOutNearAnEdge) {
  EXPECT_EQ(BrakingDistance(0), 0);
  EXPECT_EQ(BrakingDistance(1), 0) << "one tick of the key stops it";
  double last = 0;
  for (int quarters = 8; quarters <= 160; ++quarters) {
    const double speed = quarters / 4.0;
    EXPECT_GT(BrakingDistance(speed), last) << speed;
    last = BrakingDistance(speed);
  }
  EXPECT_NEAR(BrakingDistance(10), 9 + 7.74 + 6.51 + 5.32 + 4.17 + 3.05 + 1.96 + 0.91, 0.1);

  // Ball 1 at rest 100 pixels from the left edge; ball 2 in the middle.
  GameModel game = Model(151, 300, 400, 300);
  EXPECT_NEAR(Room(game, 1), 100, 1e-9);
  game.Balls(1).MX = -20;  // heading for the edge faster than it can stop
  EXPECT_LT(Room(game, 1), 0);
  EXPECT_EQ(SafetyBrake(game, 1), kRight);
  game.Balls(1).MX = 20;  // away from it, towards the far right edge
  EXPECT_NEAR(Room(game, 1), 100, 1e-9);
  EXPECT_EQ(SafetyBrake(game, 1), 0);
  // Along y a gap counts half: 100 pixels from the top.
  EXPECT_NEAR(Room(Model(400, 151, 400, 400), 1), 50, 1e-9);

  EXPECT_GT(Worth(game, 2), Worth(game, 1)) << "nearer an edge is worse";
  game.Balls(1).MX = -20;
  EXPECT_GT(Worth(game, 2), 0);
  EXPECT_LT(Worth(game, 1), 0);
  game.Dropped = true;
  game.DroppedPlayer = 1;
  EXPECT_GT(Worth(game, 2), 100) << "a drop outweighs any danger";
}

TEST(Instinct, GoesRoundGetsBehindAndChargesTowardsTheNearestEdge) {
  const struct {
    const char* situation;
    GameModel game;  // ball 2 is the computer's
    Move move;
    Directions keys;
  } cases[] = {
      // Ball 1 near the left edge, ball 2 behind it on the centre's side: charge left.
      {"behind", Model(200, 300, 400, 300), Move::kCharge, kLeft},
      // Ball 2 between ball 1 and that edge: round it first.
      {"in front", Model(300, 300, 150, 300), Move::kGoRound, 0},
      // Ball 1 near the top edge, ball 2 below it but well off to the side: get behind it.
      {"aside", Model(400, 130, 650, 400), Move::kGetBehind, kLeft},
  };
  for (const auto& c : cases) {
    const Instinct instinct = InstinctOf(c.game, 2);
    EXPECT_EQ(instinct.move, c.move) << c.situation;
    if (c.keys != 0) {
      EXPECT_EQ(instinct.keys & c.keys, c.keys) << c.situation;
    }
    EXPECT_FALSE(instinct.braking) << c.situation;
  }
  // Rushing at the bottom edge it brakes, whatever it was about to do.
  GameModel rushing = Model(400, 200, 400, 480);
  rushing.Balls(2).MY = 15;
  const Instinct braking = InstinctOf(rushing, 2);
  EXPECT_TRUE(braking.braking);
  EXPECT_EQ(steer::PushY(braking.keys), -1);
}

TEST(LookAhead, PlaysExactlyTheGamesOwnMotionStepOnACopy) {
  GameModel game = Model(300, 250, 480, 330);
  game.Balls(2).MX = -6;
  const GameModel untouched = game;
  const PlayOutEnd end = PlayOut(game, 2, kLeft | kUp, kRight, 25);

  // The same ticks by hand: ball 2 holds Left Up once and then its instinct, ball 1 Right.
  GameModel by_hand = game;
  KeyTable table{};
  TableKeys keys(table);
  ScriptedRandom random;
  for (int tick = 0; tick < end.ticks; ++tick) {
    const Directions own = tick == 0 ? Directions(kLeft | kUp) : InstinctOf(by_hand, 2).keys;
    SetDirections(table, ForBall(own, 2) | ForBall(kRight, 1));
    MoveTick(by_hand, keys, random);
  }
  const SeededRandom unused;
  EXPECT_EQ(StateChecksum(end.game, unused), StateChecksum(by_hand, unused));
  EXPECT_EQ(StateChecksum(game, unused), StateChecksum(untouched, unused)) << "on a copy";
  EXPECT_TRUE(end.ticks == 25 || end.game.Dropped);
}

TEST(Planner, TheLookAheadOverrulesAnInstinctThatWouldLoseTheRound) {
  // Ball 2 low on the screen, ball 1 coming down at it: the instinct's way behind ball 1 runs into
  // it and over the bottom edge within ten ticks.
  GameModel game = Model(400, 250, 400, 460);
  game.Balls(1).MY = 10;
  const Plan instinct_only = ChoosePush(game, 2, kDown, 0);
  EXPECT_FALSE(instinct_only.second_thought);
  EXPECT_EQ(instinct_only.keys, instinct_only.instinct.keys);
  EXPECT_TRUE(PlayOut(game, 2, instinct_only.keys, kDown, 10).game.Dropped);

  const Plan plan = ChoosePush(game, 2, kDown, 10);
  EXPECT_TRUE(plan.second_thought);
  EXPECT_FALSE(PlayOut(game, 2, plan.keys, kDown, 10).game.Dropped);
  EXPECT_EQ(plan.instinct.keys, instinct_only.keys) << "the instinct is kept for the overlay";
}

}  // namespace
}  // namespace kraylo
