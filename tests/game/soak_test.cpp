// A million ticks of random keys keep the game sound, and no tick allocates.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/keys.h"
#include "tests/game/game_fakes.h"
#include "tests/support/counting_new.h"

namespace kraylo {
namespace {

// A reproducible generator in [0, 1): 24 random bits, so 1 itself never comes out.
class SeededRandom : public Random {
 public:
  void Reseed() override {}
  float Next() override { return static_cast<float>(engine() >> 8) * 0x1p-24f; }
  std::mt19937 engine{20240601};
};

TEST(SoakTest, AMillionTicksOfRandomKeysKeepBothBallsFiniteSlowAndOnScreen) {
  constexpr uint8_t kSteering[] = {key_index::kLeft, key_index::kRight, key_index::kUp,
                                   key_index::kDown, key_index::kA,     key_index::kD,
                                   key_index::kW,    key_index::kS};
  GameModel game = Model(0, 0, 0, 0);
  SeededRandom random;
  ResetBalls(game, random, 0);
  HeldKeys keys;
  int drops = 0, rounds = 0;
  for (int tick = 0, held = 0; tick < 1000000; ++tick) {
    // The players keep a random choice of their keys for a while.
    if (random.engine() % 30 == 0) held = static_cast<int>(random.engine() & 0xFF);
    keys.ReleaseAll();
    for (int bit = 0; bit < 8; ++bit) {
      if (held & (1 << bit)) keys.Hold({kSteering[bit]});
    }
    const bool was_dropped = game.Dropped;
    MoveTick(game, keys, random);
    drops += !was_dropped && game.Dropped;
    rounds += was_dropped && !game.Dropped;
    for (const TBall& b : {game.Balls(1), game.Balls(2)}) {
      ASSERT_TRUE(std::isfinite(b.X + b.Y) && std::fabs(b.MX) < 100 && std::fabs(b.MY) < 100)
          << "tick " << tick;
      // Both edges, rounded down, lie on the 800 x 600 screen.
      ASSERT_TRUE(std::floor(b.X - 51) >= 0 && std::floor(b.X + 51) <= 799 &&
                  std::floor(b.Y - 51) >= 0 && std::floor(b.Y + 51) <= 599)
          << "tick " << tick << " ball at " << b.X << ", " << b.Y;
    }
  }
  EXPECT_GT(drops, 500);
  EXPECT_GE(rounds, drops - 1);
}

TEST(AllocationTest, TicksAllocateNothingThroughContactDropCountDownAndNewRound) {
  GameModel game = Model(300, 300, 404, 300);
  game.Balls(2).MX = -5;
  HeldKeys keys{key_index::kLeft, key_index::kUp, key_index::kD, key_index::kS, key_index::kTab};
  ScriptedRandom random({0.5f, 0.5f, 0.5f, 0.5f});
  const long before = testing::allocations;
  for (int tick = 0; tick < 200; ++tick) MoveTick(game, keys, random);
  EXPECT_EQ(testing::allocations - before, 0);
  EXPECT_GT(random.reseeds, 0);
  // The counter does see an allocation; volatile keeps the compiler from leaving it out.
  int* volatile held = new int(1);
  delete held;
  EXPECT_EQ(testing::allocations - before, 1);
}

}  // namespace
}  // namespace kraylo
