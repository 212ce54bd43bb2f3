// Seeking in an hour-long recording (120,000 ticks): to its end, and to the tick furthest from a
// kept state; and the pass at the start that checks the file and keeps the states. Printed with
// the interval between kept states and the memory they take.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/peak_memory.h"
#include "playback/playback.h"
#include "tests/replay/replay_fakes.h"

namespace kraylo {
namespace {

constexpr uint32_t kHour = 120000;  // ticks of 30 ms

const Replay& AnHour() {
  static const Replay replay = ParseReplay(RecordedBytes(kHour));
  return replay;
}

void Report(benchmark::State& state, const Timeline& timeline) {
  state.counters["kept_interval_ticks"] = Timeline::kTicksPerKeptState;
  state.counters["kept_states"] = static_cast<double>(timeline.KeptStates());
  state.counters["kept_KB"] = static_cast<double>(timeline.KeptBytes()) / 1024;
  state.counters["inputs_KB"] = static_cast<double>(kHour) / 1024;
  state.counters["peak_RSS_KB"] = static_cast<double>(PeakResidentKilobytes());
}

// --replay's start: the file checked as it is played through once, keeping the states.
void BM_CheckAndKeepStates(benchmark::State& state) {
  for ([[maybe_unused]] auto _ : state) {
    const Timeline timeline(AnHour());
    benchmark::DoNotOptimize(timeline.KeptStates());
  }
  Report(state, Timeline(AnHour()));
}
BENCHMARK(BM_CheckAndKeepStates)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the start to `tick` of the hour, as End or a click on the bar does.
void Seek(benchmark::State& state, uint32_t tick) {
  Playback playback{Timeline(AnHour())};
  const uint64_t index = playback.timeline().IndexOf({0, tick});
  for ([[maybe_unused]] auto _ : state) {
    playback.ToStart();
    playback.SeekTo(index);
    benchmark::DoNotOptimize(playback.state());
  }
  Report(state, playback.timeline());
}
void BM_SeekToTheEnd(benchmark::State& state) { Seek(state, kHour); }
void BM_SeekToTheTickFurthestFromAKeptState(benchmark::State& state) { Seek(state, kHour - 1); }
BENCHMARK(BM_SeekToTheEnd)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SeekToTheTickFurthestFromAKeptState)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
