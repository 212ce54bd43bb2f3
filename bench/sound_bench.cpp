// The sound's costs: the audio callback per buffer, the program's CPU with sound on against off,
// and the time from a tick's event to its first sample in a buffer handed to SDL. The last two
// use SDL's dummy audio driver (a thread that asks for buffers at the real pace, into nothing) and
// need a display: run them with tools/bench, or
//   xvfb-run -a -s "-screen 0 1280x720x24" build/bench/sound_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_system.h"
#include "shell/program.h"
#include "sound/sound_player.h"

namespace kraylo {
namespace {

using WallClock = std::chrono::steady_clock;

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Every sound a second of a steady tone, so that voices last across many buffers.
SoundBank SecondLongSounds() {
  SoundBank bank;
  for (auto& sound : bank) {
    sound.resize(kAudioRate);
    for (size_t i = 0; i < sound.size(); ++i)
      sound[i] = static_cast<int16_t>((i % 96) * 200 - 9600);
  }
  return bank;
}

// One buffer of the output with `voices` sounding: what SDL's audio thread pays each 10 ms.
void BM_AudioCallbackPerBuffer(benchmark::State& state) {
  const auto voices = static_cast<size_t>(state.range(0));
  SoundPlayer player(SecondLongSounds());
  player.SetLevel(0.7F);
  std::vector<int16_t> buffer(kAudioBufferFrames);
  int64_t filled = 0;
  for ([[maybe_unused]] auto _ : state) {
    // The voices end after a second; start them again so that `voices` always sound.
    if (filled % (kAudioRate / kAudioBufferFrames) == 0) {
      for (size_t v = 0; v < voices; ++v) player.Start(SoundKind::kDrop, 1);
    }
    player.Fill(buffer);
    benchmark::DoNotOptimize(buffer.data());
    ++filled;
  }
  // The time per buffer as a share of the 10 ms a buffer lasts.
  const double budget_seconds = static_cast<double>(kAudioBufferFrames) / kAudioRate;
  state.counters["share_of_buffer_time"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * budget_seconds,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AudioCallbackPerBuffer)->ArgName("voices")->Arg(0)->Arg(4)->Arg(32);

// The program's CPU (both threads) over 300 ticks of the game screen at the paced 60 Hz, with a
// contact's sound every 10 ticks; `sound` false runs it with no audio device.
double GameCpuShare(bool sound) {
  setenv("SDL_AUDIODRIVER", sound ? "dummy" : "none-such", 1);
  constexpr int kWarmUp = 30, kMeasured = 300;
  std::unique_ptr<System> machine = CreateSdlSystem({.pace_frames = true});
  // A replay of balls at rest: the game screen and its timer from the first frame.
  Options options;
  options.mode = ReplayToShow{"balls at rest"};
  Program program(*machine, options);
  RecordedGame at_rest;
  at_rest.width = 800;
  at_rest.height = 600;
  at_rest.inputs.assign(kWarmUp + kMeasured + 100, 0);
  program.resources.replay.emplace(Replay{{at_rest}});
  program.field = FieldSize{at_rest.width, at_rest.height};
  double share = 0, cpu_start = 0;
  WallClock::time_point start;
  int ticks = 0;
  WindowEvents events = BindEvents(program);
  events.timer_tick = [&, tick = events.timer_tick] {
    tick();
    ++ticks;
    if (program.sound.player && ticks % 10 == 0) {
      program.sound.player->Start(SoundKind::kContact, 1);
    }
    if (ticks == kWarmUp) {
      cpu_start = CpuSeconds();
      start = WallClock::now();
    }
    if (ticks == kWarmUp + kMeasured) {
      share = (CpuSeconds() - cpu_start) /
              std::chrono::duration<double>(WallClock::now() - start).count();
      program.system.window().EndProgram();
    }
  };
  machine->Run(events);
  return share;
}

void BM_GameCpuSoundOnAgainstOff(benchmark::State& state) {
  std::vector<double> on, off;
  for ([[maybe_unused]] auto _ : state) {
    off.push_back(GameCpuShare(false));
    on.push_back(GameCpuShare(true));
  }
  std::sort(on.begin(), on.end());
  std::sort(off.begin(), off.end());
  const double median_on = on[on.size() / 2], median_off = off[off.size() / 2];
  state.counters["cpu_share_on"] = median_on;
  state.counters["cpu_share_off"] = median_off;
  state.counters["ratio"] = median_on / median_off;
}
BENCHMARK(BM_GameCpuSoundOnAgainstOff)->Iterations(3)->Unit(benchmark::kMillisecond);

// From a sound asked for (the end of a tick) to the end of the callback that mixed its first
// sample into a buffer handed to SDL, through the real SDL backend.
void BM_EventToFirstSample(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SoundPlayer player(SecondLongSounds());
  player.SetLevel(1);
  std::atomic<uint64_t> seen{0};
  std::atomic<int64_t> mixed_at{0};  // ns of the steady clock
  SdlAudio audio;
  const std::string failure = audio.Open([&](std::span<int16_t> samples) {
    player.Fill(samples);
    if (player.started() != seen.load()) {
      mixed_at.store(WallClock::now().time_since_epoch().count());
      seen.store(player.started());
    }
  });
  if (!failure.empty()) {
    state.SkipWithError(failure.c_str());
    return;
  }
  std::vector<double> latencies;
  unsigned jitter = 1;
  uint64_t voice = 0;
  for ([[maybe_unused]] auto _ : state) {
    // At a moment unrelated to the output's buffers, as a tick's end is.
    jitter = jitter * 1103515245U + 12345U;
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + (jitter >> 8) % 9000));
    const uint64_t before = seen.load();
    const int64_t asked = WallClock::now().time_since_epoch().count();
    player.Start(SoundKind::kContact, 1, ++voice);
    for (int wait = 0; wait < 1000 && seen.load() == before; ++wait) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    const double ms = static_cast<double>(mixed_at.load() - asked) / 1e6;
    latencies.push_back(ms);
    // Voices end at once, so that there is always room for the next.
    player.Fade(voice);
    state.SetIterationTime(ms / 1e3);
  }
  audio.Close();
  std::sort(latencies.begin(), latencies.end());
  state.counters["mean_ms"] = [&] {
    double sum = 0;
    for (const double ms : latencies) sum += ms;
    return sum / static_cast<double>(latencies.size());
  }();
  state.counters["p99_ms"] = latencies[latencies.size() * 99 / 100];
  state.counters["max_ms"] = latencies.back();
}
BENCHMARK(BM_EventToFirstSample)->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
