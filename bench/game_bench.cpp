// One tick of the game at its worst: both balls at full speed, a contact test after every pixel.
#include <benchmark/benchmark.h>

#include <cmath>
#include <initializer_list>

#include "game/balls.h"
#include "game/motion.h"
#include "input/key_source.h"
#include "platform/keys.h"
#include "platform/platform.h"
#include "tests/support/counting_new.h"

namespace kraylo {
namespace {

class FixedKeys : public KeySource {
 public:
  FixedKeys(std::initializer_list<uint8_t> held) {
    for (uint8_t key : held) table_[key] = key_index::kHeld;
  }
  const KeyTable& Poll() override { return table_; }

 private:
  KeyTable table_{};
};

class SilentRandom : public Random {
 public:
  void Reseed() override {}
  float Next() override { return 0; }
};

// The speed a held key settles at after friction, pixels per tick.
constexpr double kTopSpeed = 100.0 / 3.0;

// Balls 1 and 2 far apart on a large screen, each already at top speed away from the other; the
// keys below keep them there. Along one axis that is 36 + 34 contact tests per tick; along both,
// twice as many.
GameModel AtTopSpeed(bool both_axes) {
  GameModel game;
  game.ScreenWidth = 4000;
  game.ScreenHeight = 4000;
  game.Running = true;
  game.Balls(1) = kraylo::TBall{1500, 2000, -kTopSpeed, both_axes ? -kTopSpeed : 0, true};
  game.Balls(2) = kraylo::TBall{2500, 2000, kTopSpeed, both_axes ? kTopSpeed : 0, true};
  return game;
}

void RunTicks(benchmark::State& state, bool both_axes) {
  const GameModel start = AtTopSpeed(both_axes);
  FixedKeys keys = both_axes
                       ? FixedKeys{key_index::kLeft, key_index::kUp, key_index::kD, key_index::kS}
                       : FixedKeys{key_index::kLeft, key_index::kD};
  SilentRandom random;
  GameModel game = start;
  const long before = testing::allocations.load();
  for ([[maybe_unused]] auto _ : state) {
    game = start;
    MoveTick(game, keys, random);
    benchmark::DoNotOptimize(game);
  }
  const long made = testing::allocations.load() - before;
  state.counters["allocations_per_tick"] =
      benchmark::Counter(static_cast<double>(made), benchmark::Counter::kAvgIterations);
  state.counters["contact_tests_per_tick"] = both_axes ? 140 : 70;
}

void BM_TickAtTopSpeedOneAxis(benchmark::State& state) { RunTicks(state, false); }
void BM_TickAtTopSpeedBothAxes(benchmark::State& state) { RunTicks(state, true); }
BENCHMARK(BM_TickAtTopSpeedOneAxis);
BENCHMARK(BM_TickAtTopSpeedBothAxes);

// The bare arithmetic of the one-axis tick: the same 70 distance computations with plain
// rounding and no checks, and the same jumps and friction; the floor the real tick is held to.
void BM_BareArithmeticOneAxis(benchmark::State& state) {
  for ([[maybe_unused]] auto _ : state) {
    double x[2] = {1500, 2500};
    double y[2] = {2000, 2000};
    double mx[2] = {-kTopSpeed - 1, kTopSpeed + 1};
    double my[2] = {0, 0};
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(mx);
    for (int ball = 0; ball < 2; ++ball) {
      y[ball] += my[ball];
      const double direction = mx[ball] < 0 ? -1.0 : 1.0;
      const double pixels = mx[ball] < 0 ? std::floor(-mx[ball]) + 2 : std::floor(mx[ball]);
      const auto count = static_cast<int32_t>(pixels);
      for (int32_t pixel = 0; pixel < count; ++pixel) {
        x[ball] += direction;
        const double dx = x[0] - x[1];
        const double dy = y[0] - y[1];
        const long sum = std::lrint(dx * dx) + std::lrint(dy * dy);
        if (std::sqrt(static_cast<double>(sum)) < 102) break;
      }
      mx[ball] /= 1.03;
      my[ball] /= 1.03;
    }
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(mx);
  }
}
BENCHMARK(BM_BareArithmeticOneAxis);

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
