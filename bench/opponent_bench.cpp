// The computer's decision per tick at each level, look-ahead included, over the situations of
// real rounds: its mean, its slowest ones against the budget of 50 µs, and the same ticks of the
// motion step alone for scale.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "game/motion.h"
#include "game/seeded_random.h"
#include "input/key_source.h"
#include "opponent/opponent.h"
#include "tools/tournament/players.h"

namespace kraylo {
namespace {

constexpr double kBudgetMicroseconds = 50;
constexpr int kRunsPerTick = 5;

// The CPU time this thread has used, microseconds.
double ThreadMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// The game before each tick of rounds the hard computer (ball 2) plays against every scripted
// player and the normal one: approaches, charges, contacts, count-downs.
const std::vector<GameModel>& RecordedGames() {
  static const std::vector<GameModel> games = [] {
    std::vector<GameModel> recorded;
    std::vector<std::unique_ptr<tournament::Player>> others;
    for (tournament::Script script : tournament::kScripts) {
      others.push_back(tournament::MakeScripted(script, 1));
    }
    others.push_back(tournament::MakeComputer(Level::kNormal, 1, 1));
    for (auto& other : others) {
      GameModel game;
      game.ScreenWidth = 800;
      game.ScreenHeight = 600;
      game.Running = true;
      SeededRandom random(7);
      ResetBalls(game, random, 1);
      Opponent computer(Level::kHard, 1);
      KeyTable table{};
      TableKeys keys(table);
      for (int tick = 0; tick < 3000; ++tick) {
        recorded.push_back(game);
        SetDirections(table, ForBall(other->Decide(game), 1) | ForBall(computer.Decide(game), 2));
        MoveTick(game, keys, random);
      }
    }
    return recorded;
  }();
  return games;
}

void BM_DecisionPerTick(benchmark::State& state) {
  const auto level = static_cast<Level>(state.range(0));
  const std::vector<GameModel>& games = RecordedGames();
  Opponent computer(level, 1);
  size_t next = 0;
  for ([[maybe_unused]] auto _ : state) {
    benchmark::DoNotOptimize(computer.Decide(games[next]));
    if (++next == games.size()) next = 0;
  }

  // The slowest decisions, timed one by one over every recorded tick: each the fastest of a few
  // runs on copies of the computer as it stood, so that what other programs on the machine do in
  // the meantime does not count.
  Opponent timed(level, 1);
  std::vector<double> micros;
  micros.reserve(games.size());
  for (const GameModel& game : games) {
    double fastest = 1e9;
    for (int run = 0; run < kRunsPerTick; ++run) {
      Opponent copy = timed;
      const double start = ThreadMicroseconds();
      benchmark::DoNotOptimize(copy.Decide(game));
      fastest = std::min(fastest, ThreadMicroseconds() - start);
    }
    micros.push_back(fastest);
    timed.Decide(game);
  }
  std::sort(micros.begin(), micros.end());
  const double p99 = micros[micros.size() * 99 / 100];
  state.counters["p99_us"] = p99;
  state.counters["max_us"] = micros.back();
  state.counters["p99_share_of_50us"] = p99 / kBudgetMicroseconds;
  state.SetLabel(std::string(LevelName(level)));
}
BENCHMARK(BM_DecisionPerTick)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime();

// The motion step alone over the same ticks, as the unit the look-ahead spends.
void BM_MotionStepPerTick(benchmark::State& state) {
  const std::vector<GameModel>& games = RecordedGames();
  KeyTable table{};
  TableKeys keys(table);
  SeededRandom random;
  size_t next = 0;
  for ([[maybe_unused]] auto _ : state) {
    GameModel game = games[next];
    MoveTick(game, keys, random);
    benchmark::DoNotOptimize(game);
    if (++next == games.size()) next = 0;
  }
}
BENCHMARK(BM_MotionStepPerTick)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
