// The seeded generator and the state checksum that recorded and network games rest on.
#include "game/state_checksum.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "game/seeded_random.h"
#include "tests/game/game_fakes.h"

namespace kraylo {
namespace {

TEST(SeededRandom, TheSameSeedDrawsTheSameNumbersInZeroToOne) {
  SeededRandom first(42);
  SeededRandom second(42);
  SeededRandom other(43);
  std::set<float> seen;
  int differ = 0;
  for (int i = 0; i < 10000; ++i) {
    const float value = first.Next();
    second.Reseed();  // changes nothing in a seeded game
    EXPECT_EQ(value, second.Next());
    differ += value != other.Next() ? 1 : 0;
    EXPECT_GE(value, 0.0f);
    EXPECT_LT(value, 1.0f);
    seen.insert(value);
  }
  EXPECT_GT(seen.size(), 9900u) << "spread over the range";
  EXPECT_GT(differ, 9900) << "another seed, another sequence";
}

TEST(SeededRandom, TwoGamesFromOneSeedPlaceTheirRoundsAlike) {
  GameModel first = Model(349, 249, 451, 351);
  GameModel second = first;
  SeededRandom first_random(7);
  SeededRandom second_random(7);
  for (int round = 0; round < 20; ++round) {
    ResetBalls(first, first_random, 1);
    ResetBalls(second, second_random, 1);
    EXPECT_EQ(StateChecksum(first, first_random), StateChecksum(second, second_random));
    EXPECT_EQ(first.Balls(1).X, second.Balls(1).X);
    EXPECT_EQ(first.Balls(2).Y, second.Balls(2).Y);
  }
}

TEST(StateChecksum, ChangesWithEveryFieldTheSimulationUsesButNotTheLocalSwitches) {
  const GameModel base = Model(349, 249, 451, 351);
  const SeededRandom random(5);
  const uint32_t checksum = StateChecksum(base, random);
  const struct {
    const char* field;
    std::function<void(GameModel&)> change;
    bool counts;
  } cases[] = {
      {"ball 1 X", [](GameModel& g) { g.Balls(1).X += 1e-9; }, true},
      {"ball 1 Y", [](GameModel& g) { g.Balls(1).Y = -g.Balls(1).Y; }, true},
      {"ball 2 MX", [](GameModel& g) { g.Balls(2).MX = 0.1; }, true},
      {"ball 2 MY", [](GameModel& g) { g.Balls(2).MY = -0.0; }, true},
      {"ball 2 Visible", [](GameModel& g) { g.Balls(2).Visible = false; }, true},
      {"scratch MX", [](GameModel& g) { g.Balls(3).MX = 1; }, true},
      {"scratch Visible", [](GameModel& g) { g.Balls(3).Visible = true; }, true},
      {"Dropped", [](GameModel& g) { g.Dropped = true; }, true},
      {"TimeToDrop", [](GameModel& g) { g.TimeToDrop = -1; }, true},
      {"DroppedPlayer", [](GameModel& g) { g.DroppedPlayer = 2; }, true},
      {"ScreenWidth", [](GameModel& g) { g.ScreenWidth = 801; }, true},
      {"ScreenHeight", [](GameModel& g) { g.ScreenHeight = 599; }, true},
      {"Running", [](GameModel& g) { g.Running = false; }, false},
      {"ShowDebug", [](GameModel& g) { g.ShowDebug = true; }, false},
  };
  for (const auto& c : cases) {
    GameModel changed = base;
    c.change(changed);
    EXPECT_EQ(StateChecksum(changed, random) != checksum, c.counts) << c.field;
  }
  SeededRandom drawn = random;
  drawn.Next();
  EXPECT_NE(StateChecksum(base, drawn), checksum) << "the generator's state";
}

}  // namespace
}  // namespace kraylo
