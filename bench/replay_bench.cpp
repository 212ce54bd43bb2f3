// --check-replay's speed: ticks played again and checked per second, from the file's bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "replay/replay_check.h"
#include "replay/replay_file.h"
#include "tests/replay/replay_fakes.h"

namespace kraylo {
namespace {

// A game of players' keys held a while at a time, on the usual field: the balls speed up, touch
// and drop as in play. A million ticks are some nine hours of play.
constexpr uint32_t kTicks = 1000000;

void BM_CheckReplay(benchmark::State& state) {
  const std::string bytes = RecordedBytes(kTicks, 7, 1);
  uint64_t ticks = 0;
  for ([[maybe_unused]] auto _ : state) {
    const ReplaySummary summary = CheckReplay(ParseReplay(bytes));
    benchmark::DoNotOptimize(summary);
    ticks += summary.ticks;
  }
  state.counters["ticks_per_second"] =
      benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
  state.counters["file_bytes_per_tick"] = static_cast<double>(bytes.size()) / kTicks;
}
BENCHMARK(BM_CheckReplay)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
