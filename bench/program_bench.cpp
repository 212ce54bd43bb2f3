// The whole program on the real machine, against a bare full-screen program on the same path:
// start-up to the first flipped frame, peak memory, time per frame of the menu, game and credits
// screens, and CPU use at the paced 60 Hz. Needs a display: run it with tools/bench, or
//   xvfb-run -a -s "-screen 0 1280x720x24" build/bench/program_bench
// The bare program is our SDL machine with nothing of the game: the display in the program's
// mode, then clear, upload and present only.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/peak_memory.h"
#include "platform/sdl/sdl_system.h"
#include "shell/program.h"

namespace kraylo {
namespace {

using WallClock = std::chrono::steady_clock;

// The mode of the data folder's config.cfg, which the program reads.
constexpr int32_t kWidth = 800, kHeight = 600, kBits = 32;

double Seconds(WallClock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// ---- A machine that reports every flipped frame ----

using FlipHook = std::function<void()>;

class WatchedPrimary : public PrimarySurface {
 public:
  WatchedPrimary(std::unique_ptr<PrimarySurface> inner, const FlipHook& on_flip)
      : inner_(std::move(inner)), on_flip_(on_flip) {}
  Surface& BackBuffer() override { return inner_->BackBuffer(); }
  void Flip() override {
    inner_->Flip();
    on_flip_();
  }

 private:
  std::unique_ptr<PrimarySurface> inner_;
  const FlipHook& on_flip_;
};

class WatchedDevice : public DisplayDevice {
 public:
  WatchedDevice(std::unique_ptr<DisplayDevice> inner, const FlipHook& on_flip)
      : inner_(std::move(inner)), on_flip_(on_flip) {}
  void SetCooperativeLevel(WindowHandle window, int32_t flags) override {
    inner_->SetCooperativeLevel(window, flags);
  }
  void SetDisplayMode(int32_t width, int32_t height, int32_t bits) override {
    inner_->SetDisplayMode(width, height, bits);
  }
  void RestoreDisplayMode() override { inner_->RestoreDisplayMode(); }
  std::unique_ptr<PrimarySurface> CreatePrimarySurface() override {
    return std::make_unique<WatchedPrimary>(inner_->CreatePrimarySurface(), on_flip_);
  }
  std::unique_ptr<Surface> CreateSurface(int32_t width, int32_t height) override {
    return inner_->CreateSurface(width, height);
  }

 private:
  std::unique_ptr<DisplayDevice> inner_;
  const FlipHook& on_flip_;
};

class WatchedDisplay : public Display {
 public:
  WatchedDisplay(Display& inner, const FlipHook& on_flip) : inner_(inner), on_flip_(on_flip) {}
  std::unique_ptr<DisplayDevice> Create() override {
    return std::make_unique<WatchedDevice>(inner_.Create(), on_flip_);
  }
  Bitmap LoadBitmap(const std::string& path) override { return inner_.LoadBitmap(path); }

 private:
  Display& inner_;
  const FlipHook& on_flip_;
};

class WatchedSystem : public System {
 public:
  WatchedSystem(std::unique_ptr<System> inner, FlipHook on_flip)
      : inner_(std::move(inner)),
        on_flip_(std::move(on_flip)),
        display_(inner_->display(), on_flip_) {}
  Clock& clock() override { return inner_->clock(); }
  Random& random() override { return inner_->random(); }
  Files& files() override { return inner_->files(); }
  Window& window() override { return inner_->window(); }
  Display& display() override { return display_; }
  KeyboardApi& keyboard() override { return inner_->keyboard(); }
  Pads& pads() override { return inner_->pads(); }
  AudioOutput& audio() override { return inner_->audio(); }
  char DecimalSeparator() override { return inner_->DecimalSeparator(); }
  int Run(const WindowEvents& events) override { return inner_->Run(events); }

 private:
  std::unique_ptr<System> inner_;
  FlipHook on_flip_;
  WatchedDisplay display_;
};

// ---- Sessions ----

// Runs the program; `on_flip(frame, program)` runs after each flipped frame (frame from 1) and
// ends the session by calling window().EndProgram().
void RunProgram(bool pace, const std::function<void(int, Program&)>& on_flip) {
  Program* program = nullptr;
  int frame = 0;
  WatchedSystem machine(CreateSdlSystem({.pace_frames = pace}),
                        [&] { on_flip(++frame, *program); });
  Program session(machine);
  program = &session;
  machine.Run(BindEvents(session));
}

// The bare program: `frames` frames of clear, upload and present; `after_present(frame)` runs
// after each.
void RunBare(bool pace, int frames, const std::function<void(int)>& after_present) {
  std::unique_ptr<System> machine = CreateSdlSystem({.pace_frames = pace});
  WindowEvents events;
  events.activate = [&] {
    Window& window = machine->window();
    std::unique_ptr<DisplayDevice> device = machine->display().Create();
    device->SetCooperativeLevel(window.Handle(), DisplayDevice::kFullScreenExclusive);
    device->SetDisplayMode(kWidth, kHeight, kBits);
    std::unique_ptr<PrimarySurface> primary = device->CreatePrimarySurface();
    Surface& back = primary->BackBuffer();
    for (int frame = 1; frame <= frames; ++frame) {
      back.Fill({0, 0, back.width(), back.height()}, 0);
      primary->Flip();
      after_present(frame);
    }
    window.Unload();
  };
  machine->Run(events);
}

// Switches the program to `screen` the way its menu would.
void ShowScreen(Program& program, int16_t screen) {
  program.screen.Shown = screen;
  if (screen == kCreditsScreen) program.screen.CreditsY = program.game.ScreenHeight;
  if (screen == kGameScreen) program.system.window().StartTimer();
}

constexpr int kWarmUpFrames = 60;
constexpr int kMeasuredFrames = 600;

// Seconds per frame of the program showing `screen`, unpaced.
double ProgramFrameSeconds(int16_t screen) {
  WallClock::time_point start;
  double seconds = 0;
  RunProgram(false, [&](int frame, Program& program) {
    if (frame == 1) ShowScreen(program, screen);
    if (frame == kWarmUpFrames) start = WallClock::now();
    if (frame == kWarmUpFrames + kMeasuredFrames) {
      seconds = Seconds(WallClock::now() - start) / kMeasuredFrames;
      program.system.window().EndProgram();
    }
  });
  return seconds;
}

double BareFrameSeconds() {
  WallClock::time_point start;
  double seconds = 0;
  RunBare(false, kWarmUpFrames + kMeasuredFrames, [&](int frame) {
    if (frame == kWarmUpFrames) start = WallClock::now();
    if (frame == kWarmUpFrames + kMeasuredFrames) {
      seconds = Seconds(WallClock::now() - start) / kMeasuredFrames;
    }
  });
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// ---- Benchmarks ----

void BM_FrameTimeVsBare(benchmark::State& state) {
  const auto screen = static_cast<int16_t>(state.range(0));
  // Interleaved rounds, so that both sides see the same machine load.
  std::vector<double> program_times, bare_times;
  for ([[maybe_unused]] auto _ : state) {
    bare_times.push_back(BareFrameSeconds());
    const double seconds = ProgramFrameSeconds(screen);
    program_times.push_back(seconds);
    state.SetIterationTime(seconds);
  }
  const double program_ms = Median(program_times) * 1e3, bare_ms = Median(bare_times) * 1e3;
  state.counters["frame_ms"] = program_ms;
  state.counters["bare_ms"] = bare_ms;
  state.counters["ratio"] = program_ms / bare_ms;
}
BENCHMARK(BM_FrameTimeVsBare)
    ->ArgName("screen")
    ->Arg(kMenuScreen)
    ->Arg(kGameScreen)
    ->Arg(kCreditsScreen)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_StartUpVsBare(benchmark::State& state) {
  std::vector<double> program_times, bare_times;
  for ([[maybe_unused]] auto _ : state) {
    WallClock::time_point launch = WallClock::now();
    RunBare(true, 1, [&](int) { bare_times.push_back(Seconds(WallClock::now() - launch)); });
    launch = WallClock::now();
    double seconds = 0;
    RunProgram(true, [&](int, Program& program) {
      seconds = Seconds(WallClock::now() - launch);
      program.system.window().EndProgram();
    });
    program_times.push_back(seconds);
    state.SetIterationTime(seconds);
  }
  const double program_ms = Median(program_times) * 1e3, bare_ms = Median(bare_times) * 1e3;
  state.counters["first_frame_ms"] = program_ms;
  state.counters["bare_ms"] = bare_ms;
  state.counters["extra_ms"] = program_ms - bare_ms;
}
BENCHMARK(BM_StartUpVsBare)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PacedCpuUse(benchmark::State& state) {
  constexpr int kPacedFrames = 180;
  double cpu_share = 0, fps = 0;
  for ([[maybe_unused]] auto _ : state) {
    double cpu_start = 0;
    WallClock::time_point start;
    RunProgram(true, [&](int frame, Program& program) {
      if (frame == 1) ShowScreen(program, kGameScreen);
      if (frame == kWarmUpFrames) {
        cpu_start = CpuSeconds();
        start = WallClock::now();
      }
      if (frame == kWarmUpFrames + kPacedFrames) {
        const double wall = Seconds(WallClock::now() - start);
        cpu_share = (CpuSeconds() - cpu_start) / wall;
        fps = kPacedFrames / wall;
        state.SetIterationTime(wall / kPacedFrames);
        program.system.window().EndProgram();
      }
    });
  }
  state.counters["cpu_share_of_a_core"] = cpu_share;
  state.counters["fps"] = fps;
}
BENCHMARK(BM_PacedCpuUse)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Peak resident memory (kB) of this executable run again as a child doing `role`.
// Runs this program again in one role; the peak memory the child reports, in kilobytes.
long ChildPeakKilobytes(const char* role) {
  const std::string command =
      std::filesystem::read_symlink("/proc/self/exe").string() + " --child=" + role;
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return -1;
  long kilobytes = -1;
  if (std::fscanf(child, "%ld", &kilobytes) != 1) kilobytes = -1;
  return pclose(child) == 0 ? kilobytes : -1;
}

void BM_PeakMemoryVsBare(benchmark::State& state) {
  long program_kb = 0, bare_kb = 0;
  for ([[maybe_unused]] auto _ : state) {
    program_kb = ChildPeakKilobytes("program");
    bare_kb = ChildPeakKilobytes("bare");
  }
  if (program_kb <= 0 || bare_kb <= 0) state.SkipWithError("a child run failed");
  state.counters["peak_MB"] = static_cast<double>(program_kb) / 1024;
  state.counters["bare_MB"] = static_cast<double>(bare_kb) / 1024;
  state.counters["ratio"] = static_cast<double>(program_kb) / static_cast<double>(bare_kb);
}
BENCHMARK(BM_PeakMemoryVsBare)->Iterations(1)->Unit(benchmark::kMillisecond);

// The children of the memory benchmark: every screen of the program, or the bare program, for
// the same number of frames.
int RunChild(std::string_view role) {
  constexpr int kFramesPerScreen = 200;
  if (role == "bare") {
    RunBare(false, 3 * kFramesPerScreen, [](int) {});
  } else if (role == "program") {
    RunProgram(false, [](int frame, Program& program) {
      if (frame == kFramesPerScreen) ShowScreen(program, kGameScreen);
      if (frame == 2 * kFramesPerScreen) ShowScreen(program, kCreditsScreen);
      if (frame == 3 * kFramesPerScreen) program.system.window().EndProgram();
    });
  } else {
    return 2;
  }
  std::printf("%ld\n", PeakResidentKilobytes());
  return 0;
}

}  // namespace
}  // namespace kraylo

int main(int argc, char** argv) {
  constexpr std::string_view kChild = "--child=";
  if (argc == 2 && std::string_view(argv[1]).substr(0, kChild.size()) == kChild) {
    return kraylo::RunChild(std::string_view(argv[1]).substr(kChild.size()));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
