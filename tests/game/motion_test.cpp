// One tick of motion: unit steps, friction, rest, the walls, contact, drops and the count-down.
#include "game/motion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/keys.h"
#include "tests/game/game_fakes.h"

namespace kraylo {
namespace {

// The velocity that friction turns into exactly `target`.
double BeforeFriction(double target) {
  double velocity = target * 1.03;
  while (velocity / 1.03 < target) velocity = std::nextafter(velocity, 1e9);
  while (velocity / 1.03 > target) velocity = std::nextafter(velocity, -1e9);
  return velocity;
}

// Ball 1 before and after one tick, with ball 2 parked far from it.
struct Move {
  const char* name;
  TBall before, after;
  bool drops;
};

TEST(MoveTickTest, StepsDampsStopsAndPushesBackFromEachWall) {
  const double rest = BeforeFriction(0.1);
  for (const Move& m :
       {// Steps along x run a counter from 1 to MX; along y the jump by MY comes first.
        Move{"MX 0.5", {400, 300, 0.5, 0}, {400, 300, 0.5 / 1.03, 0}, false},
        Move{"MX -0.5", {400, 300, -0.5, 0}, {398, 300, -0.5 / 1.03, 0}, false},
        Move{"MX 1", {400, 300, 1, 0}, {401, 300, 1 / 1.03, 0}, false},
        Move{"MX -1", {400, 300, -1, 0}, {397, 300, -1 / 1.03, 0}, false},
        Move{"MY 2", {400, 300, 0, 2}, {400, 304, 0, 2 / 1.03}, false},
        Move{"MY -2", {400, 300, 0, -2}, {400, 294, 0, -2 / 1.03}, false},
        Move{"friction", {400, 300, 10, -10}, {410, 278, 10 / 1.03, -10 / 1.03}, false},
        // Only a velocity strictly inside a tenth stops.
        Move{"rest 0.1", {400, 300, rest, 0}, {400, 300, 0.1, 0}, false},
        Move{"rest -0.1", {400, 300, -rest, 0}, {398, 300, -0.1, 0}, false},
        Move{"rest 0.0999", {400, 300, 0.103, 0.103}, {400, 300.103, 0, 0}, false},
        // A ball over an edge is walked back pixel by pixel, keeping its fraction.
        Move{"left edge 40", {40, 300, 0, 0}, {51, 300, 0, 0}, true},
        Move{"left edge 40.3", {40.3, 300, 0, 0}, {51.3, 300, 0, 0}, true},
        Move{"left edge 0", {51, 300, 0, 0}, {51, 300, 0, 0}, false},
        Move{"left edge far", {-4000.5, 300, 0, 0}, {51.5, 300, 0, 0}, true},
        Move{"bottom edge far", {400, 9000.25, 0, 0}, {400, 548.25, 0, 0}, true},
        Move{"right edge 805", {754, 300, 0, 0}, {748, 300, 0, 0}, true},
        Move{"right edge 799.5", {748.5, 300, 0, 0}, {747.5, 300, 0, 0}, true},
        Move{"right edge 799", {748, 300, 0, 0}, {748, 300, 0, 0}, false},
        Move{"top edge 40", {400, 40, 0, 0}, {400, 51, 0, 0}, true},
        Move{"bottom edge 601.5", {400, 550.5, 0, 0}, {400, 548.5, 0, 0}, true},
        Move{"bottom edge 599.4", {400, 548.4, 0, 0}, {400, 547.4, 0, 0}, true},
        Move{"bottom edge 599", {400, 548, 0, 0}, {400, 548, 0, 0}, false}}) {
    GameModel game = Model(0, 0, 150, 120);
    game.Balls(1) = m.before;
    HeldKeys keys;
    Tick(game, keys);
    const TBall& ball = game.Balls(1);
    EXPECT_EQ((std::vector{ball.X, ball.Y, ball.MX, ball.MY}),
              (std::vector{m.after.X, m.after.Y, m.after.MX, m.after.MY}))
        << m.name;
    EXPECT_EQ(game.Dropped, m.drops) << m.name;
    EXPECT_EQ(game.DroppedPlayer, m.drops ? 1 : 0) << m.name;
  }
}

TEST(MoveTickTest, Ball2RunningIntoBall1ExchangesVelocitiesAndStopsStepping) {
  GameModel game = Model(300, 300, 404, 300);
  game.Balls(2).MX = -5;
  HeldKeys keys;
  Tick(game, keys);
  // Ball 2 stopped at its first touching pixel; ball 1, not the mover, is not damped.
  EXPECT_EQ(game.Balls(2).X, 401);
  EXPECT_EQ(game.Balls(2).MX, 1 / 1.03);
  EXPECT_EQ(game.Balls(1).X, 300);
  EXPECT_EQ(game.Balls(1).MX, -4);
}

TEST(MoveTickTest, ContactInTheStepsAlongXCancelsTheStepsAlongY) {
  // The jump of 3 along y always happens; the 3 unit steps only without contact.
  for (const bool contact : {true, false}) {
    GameModel game = Model(300, 300, contact ? 410 : 430, 300);
    game.Balls(1) = TBall{300, 300, 10, 3, true};
    HeldKeys keys;
    Tick(game, keys);
    EXPECT_EQ(game.Balls(1).X, contact ? 309 : 310);
    EXPECT_EQ(game.Balls(1).Y, contact ? 303 : 306);
    EXPECT_EQ(game.Balls(1).MY, (contact ? 3 * -0.2 : 3) / 1.03);
  }
}

TEST(MoveTickTest, BothBallsOverAnEdgeRecordBall2) {
  GameModel game = Model(40, 300, 760, 300);
  HeldKeys keys;
  Tick(game, keys);
  EXPECT_TRUE(game.Dropped);
  EXPECT_EQ(game.DroppedPlayer, 2);
  EXPECT_EQ(game.Balls(1).X, 51);
  EXPECT_EQ(game.Balls(2).X, 748);
}

TEST(MoveTickTest, CountDownOf31TicksThenANewRoundThenTheKeysActAgain) {
  GameModel game = Model(40, 300, 400, 300);
  HeldKeys keys{key_index::kRight, key_index::kS};
  ScriptedRandom random({0, 0, 0, 0});
  const auto balls = [&] {
    return std::vector{game.Balls(1).X, game.Balls(1).MX, game.Balls(2).Y, game.Balls(2).MY};
  };
  MoveTick(game, keys, random);  // Tick n: ball 1 goes over the left edge
  ASSERT_TRUE(game.Dropped);
  const std::vector<double> at_drop = balls();
  for (int tick = 1; tick <= 31; ++tick) {
    MoveTick(game, keys, random);
    ASSERT_EQ(game.TimeToDrop, 30 - tick);
    ASSERT_EQ(balls(), at_drop) << "nothing moves and no key acts";
  }
  EXPECT_TRUE(game.Dropped);
  EXPECT_EQ(random.reseeds, 0);
  MoveTick(game, keys, random);  // n + 32: placed with offsets 0, the keys not yet acting
  EXPECT_FALSE(game.Dropped);
  EXPECT_EQ(random.reseeds, 1);
  EXPECT_EQ(balls(), (std::vector{349.0, 0.0, 351.0, 0.0}));
  MoveTick(game, keys, random);  // n + 33
  EXPECT_EQ(balls(), (std::vector{350.0, 1 / 1.03, 353.0, 1 / 1.03}));
}

TEST(MoveTickTest, HeldRightSettlesAt34PixelsPerTick) {
  // Ball 2 keeps pace beside ball 1, so their distance stays within 32 bits.
  GameModel game = Model(100000, 100000, 101000, 101000, 200000, 200000);
  HeldKeys keys{key_index::kRight, key_index::kD};
  Tick(game, keys, 1000);
  const double before = game.Balls(1).X;
  Tick(game, keys);
  EXPECT_EQ(game.Balls(1).X - before, 34);
  EXPECT_NEAR(game.Balls(1).MX, 100.0 / 3.0, 1e-9);
}

TEST(MoveTickTest, OneTickOfLeftCarriesBall1157PixelsOver78Ticks) {
  GameModel game = Model(600, 300, 150, 120);
  HeldKeys keys{key_index::kLeft};
  Tick(game, keys);
  keys.ReleaseAll();
  Tick(game, keys, 76);
  EXPECT_LT(game.Balls(1).MX, -0.1);
  Tick(game, keys);
  EXPECT_EQ(game.Balls(1).X, 600 - 157);
  EXPECT_EQ(game.Balls(1).MX, 0);
  Tick(game, keys);
  EXPECT_EQ(game.Balls(1).X, 600 - 157);
}

TEST(MoveTickTest, NonFiniteValuesRaiseInsteadOfWalkingForever) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  using Bad = std::pair<double, int32_t>;  // a value and the error it raises
  for (double TBall::*field : {&TBall::X, &TBall::Y, &TBall::MX, &TBall::MY}) {
    for (const auto& [value, error] : {Bad{kInf, kErrOverflow}, Bad{-kInf, kErrOverflow},
                                       Bad{std::nan(""), kErrInvalidArgument}, Bad{1000, 0}}) {
      GameModel game = Model(400, 300, 200, 200);
      game.Balls(2).*field = value;
      HeldKeys keys;
      EXPECT_EQ(ErrorNumberOf([&] { Tick(game, keys); }), error) << value;
    }
  }
}

}  // namespace
}  // namespace kraylo

namespace kraylo {
namespace {

// What ticks report for the sound: a touch once at its first tick, a drop once, the next round.
TEST(MoveTickTest, EventsReportATouchsFirstTickItsSpeedADropAndTheNextRound) {
  struct Case {
    const char* what;
    GameModel game;
    int ticks;
    std::vector<int> contacts;  // ticks (from 0) with a contact
    double speed;               // the first contact's
    std::vector<int> drops;
    std::vector<int> round_starts;
  };
  auto moving = [](GameModel game, double mx1, double mx2) {
    game.Balls(1).MX = mx1;
    game.Balls(2).MX = mx2;
    return game;
  };
  const Case cases[] = {
      {"head on", moving(Model(300, 300, 420, 300), 5, -5), 12, {1}, 10, {}, {}},
      {"glancing: along the line between the centres only",
       moving(Model(300, 300, 420, 360), 0, -10),
       5,
       {3},
       7.4,
       {},
       {}},
      {"at rest, touching", Model(300, 300, 390, 300), 5, {}, 0, {}, {}},
      {"over the edge, then the count-down", Model(40, 300, 400, 300), 34, {}, 0, {0}, {32}},
      {"both over edges: one drop", Model(40, 300, 760, 300), 2, {}, 0, {0}, {}},
  };
  for (Case c : cases) {
    ScriptedRandom random;
    HeldKeys keys;
    std::vector<int> contacts, drops, round_starts;
    double speed = 0;
    for (int tick = 0; tick < c.ticks; ++tick) {
      TickEvents events;
      MoveTick(c.game, keys, random, &events);
      if (events.contact && contacts.empty()) speed = events.contact_speed;
      if (events.contact) contacts.push_back(tick);
      if (events.drop) drops.push_back(tick);
      if (events.round_start) round_starts.push_back(tick);
    }
    EXPECT_EQ(contacts, c.contacts) << c.what;
    EXPECT_NEAR(speed, c.speed, 0.5) << c.what;
    EXPECT_EQ(drops, c.drops) << c.what;
    EXPECT_EQ(round_starts, c.round_starts) << c.what;
  }
}

}  // namespace
}  // namespace kraylo
