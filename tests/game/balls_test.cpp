// Placing the balls for a round, and the rounded distance that decides contact.
#include "game/balls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "tests/game/game_fakes.h"

namespace kraylo {
namespace {

struct Placement {
  int16_t mode;
  int32_t width, height;
  std::vector<float> draws;  // ball 1 X, ball 1 Y, ball 2 X, ball 2 Y
  double x1, y1, x2, y2;
};

TEST(ResetBallsTest, ModeZeroCentresModeOneScattersOtherModesOnlyStop) {
  const std::vector<float> zeros = {0, 0, 0, 0};
  for (const Placement& p :
       {Placement{0, 800, 600, {}, 349, 249, 451, 351},
        Placement{0, 1023, 601, {}, 460.5, 249.5, 562.5, 351.5},
        Placement{1, 800, 600, zeros, 349, 249, 451, 351},
        Placement{1, 800, 600, {0.999f, 0.999f, 0.999f, 0.999f}, 250, 150, 550, 450},
        Placement{1, 800, 600, {0.25f, 0.5f, 0.125f, 0.75f}, 324, 199, 463, 426},
        Placement{1, 1023, 767, zeros, 460.5, 332.5, 562.5, 434.5},
        Placement{2, 800, 600, zeros, 7, 7, 9, 9}, Placement{-1, 800, 600, zeros, 7, 7, 9, 9}}) {
    GameModel game = Model(7, 7, 9, 9, p.width, p.height);
    game.Balls(1) = TBall{7, 7, 3, -4, false};
    game.Balls(2).MY = 6;
    ScriptedRandom random(p.draws);
    ResetBalls(game, random, p.mode);
    const TBall &first = game.Balls(1), &second = game.Balls(2);
    EXPECT_EQ((std::vector{first.X, first.Y, second.X, second.Y}),
              (std::vector{p.x1, p.y1, p.x2, p.y2}))
        << "mode " << p.mode << " draws " << testing::PrintToString(p.draws);
    EXPECT_EQ((std::vector{first.MX, first.MY, second.MX, second.MY}), std::vector(4, 0.0));
    EXPECT_EQ(first.Visible, p.mode == 0 || p.mode == 1);
    EXPECT_TRUE(second.Visible);
    EXPECT_EQ(random.draws, p.mode == 1 ? 4u : 0u);
    EXPECT_EQ(random.reseeds, 1);
  }
  GameModel game = Model(0, 0, 0, 0);
  ScriptedRandom broken({std::numeric_limits<float>::quiet_NaN()});
  EXPECT_EQ(ErrorNumberOf([&] { ResetBalls(game, broken, 1); }), kErrInvalidArgument);
}

// The centre of ball 2 (ball 1 stands at 0, 0) and the distance, pixels.
using Distance = std::tuple<double, double, double>;

TEST(BallDistanceTest, RoundsEachSquaredDifferenceBeforeTheSum) {
  for (const auto& [x2, y2, expected] :
       {Distance{102, 0, 102}, Distance{101, 0, 101}, Distance{3, -4, 5},
        // 10403.592 rounds up to 10404 (apart), 10403.388 down to 10403 (contact).
        Distance{101.998, 0, 102}, Distance{101.997, 0, std::sqrt(10403.0)},
        // 0.25 rounds to 0, 2.25 to 2 and 6.25 to 6; 0.49 twice gives 0, not 1.
        Distance{0.5, 0, 0}, Distance{1.5, 0, std::sqrt(2.0)}, Distance{0, -2.5, std::sqrt(6.0)},
        Distance{0.7, 0.7, 0}}) {
    EXPECT_EQ(BallDistance(Model(0, 0, x2, y2)), expected) << x2 << ", " << y2;
    EXPECT_EQ(BallDistance(Model(x2, y2, 0, 0)), expected) << x2 << ", " << y2;
  }
  // Squares and their sum are 32-bit.
  EXPECT_EQ(ErrorNumberOf([] { BallDistance(Model(0, 0, 46341, 0)); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { BallDistance(Model(0, 0, 40000, 40000)); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { BallDistance(Model(0, 0, 30000, 30000)); }), 0);
  EXPECT_EQ(ErrorNumberOf([] { InContact(Model(0, 0, 40000, 40000)); }), kErrOverflow);
  // Squares just below 2^30 round up to it, and two of them sum past the 32-bit range.
  const double near_root = 32768 - 3e-6;
  EXPECT_EQ(ErrorNumberOf([&] { InContact(Model(0, 0, near_root, near_root)); }), kErrOverflow);
}

}  // namespace
}  // namespace kraylo
