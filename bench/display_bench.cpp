// What a frame costs on the real presentation path: the menu and the credits frames, each timed
// against a bare frame (clear, upload, present) of the same size, alternating in the same run on
// the same path; 16-bit frames scaled against 32-bit ones; and the two presentation paths (SDL's
// renderer over Mesa's software GL, and our copy into the window's framebuffer) in processes of
// their own for time per frame and peak memory. Pacing is off throughout. Needs an X server:
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/display_bench [--sheets=<folder>]
//
// The sprite sheets come from <folder> (default: dorvane/graph of the source tree, found from a
// build folder directly inside it). Counters: bare_ms and frame_ms per frame, ratio = frame/bare.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/peak_memory.h"
#include "display/fps.h"
#include "display/sprites.h"
#include "platform/devices/disk_files.h"
#include "platform/devices/machine_clock.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/text_renderer.h"
#include "platform/headless/headless_system.h"
#include "platform/sdl/sdl_screen.h"
#include "shell/program.h"
#include "shell/screens/screens.h"

namespace kraylo {
namespace {

using Steady = std::chrono::steady_clock;

std::unique_ptr<Surface> LoadSheet(const std::string& sheets, const char* name, int32_t bits) {
  const Bitmap bitmap = LoadBitmapFile(sheets + "/" + name);
  if (bitmap.width == 0) {
    std::fprintf(stderr, "The sprite sheet %s/%s cannot be read (see --sheets)\n", sheets.c_str(),
                 name);
    std::exit(1);
  }
  auto sheet = std::make_unique<Surface>(bitmap.width, bitmap.height, bits, nullptr);
  sheet->CopyFromBitmap(bitmap);
  return sheet;
}

// A window showing frames of one size and depth, and the program's screens drawing them.
class Rig {
 public:
  Rig(const std::string& sheets, int32_t width, int32_t height, int32_t bits, int32_t window_width,
      int32_t window_height, PresentPath path = PresentPath::kAuto)
      : window_(SDL_CreateWindow("Kraylo bench", 0, 0, window_width, window_height,
                                 SDL_WINDOW_SHOWN | SDL_WINDOW_BORDERLESS)),
        screen_(window_, path),
        back_(width, height, bits, text_.get()),
        program_(machine_) {
    screen_.SetPacing(false);
    program_.display.back_buffer = &back_;
    program_.display.button_sheet = LoadSheet(sheets, "buttons.bmp", bits);
    program_.display.cursor_sheet = LoadSheet(sheets, "cursor.bmp", bits);
    program_.game.ScreenWidth = width;
    program_.game.ScreenHeight = height;
    program_.screen.MenuX = static_cast<int16_t>(width / 2 - 70);
    program_.screen.MouseX = static_cast<int16_t>(width / 2);  // over button 2
    program_.screen.MouseY = 300;
    program_.screen.CreditsY = height;
    program_.fps.FPS = 60;
  }
  ~Rig() { SDL_DestroyWindow(window_); }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  void Bare() {
    ClearBackBuffer(&back_);
    screen_.PresentFrame(back_);
  }
  void Menu() {
    ClearBackBuffer(&back_);
    DrawMenu(program_);
    Finish();
  }
  void Credits() {
    ClearBackBuffer(&back_);
    DrawCredits(program_);
    Finish();
  }
  const char* PathName() const { return screen_.PathName(); }

 private:
  // The pointer, the frame-rate counter and the flip, as on every screen but the game.
  void Finish() {
    const ScreenState& screen = program_.screen;
    DrawCursor(program_.display, screen.MouseX, screen.MouseY, 0, 0, 30);
    DrawFPS(program_.fps, program_.display, clock_, '.', 10, 10);
    screen_.PresentFrame(back_);
  }

  SDL_Window* window_;
  SdlScreen screen_;
  std::unique_ptr<TextRenderer> text_ = CreateTextRenderer();
  Surface back_;
  HeadlessSystem machine_{"/tmp"};
  Program program_;
  MachineClock clock_;
};

double Elapsed(Steady::time_point since) {
  return std::chrono::duration<double>(Steady::now() - since).count();
}

// Times `frame` and `bare` alternately; the benchmark's time is the frame's.
template <typename Frame, typename Bare>
void Compare(benchmark::State& state, Frame frame, Bare bare) {
  double bare_seconds = 0;
  double frame_seconds = 0;
  for ([[maybe_unused]] auto _ : state) {
    const Steady::time_point start = Steady::now();
    bare();
    const double bare_time = Elapsed(start);
    const Steady::time_point middle = Steady::now();
    frame();
    const double frame_time = Elapsed(middle);
    bare_seconds += bare_time;
    frame_seconds += frame_time;
    state.SetIterationTime(frame_time);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["bare_ms"] = 1000 * bare_seconds / n;
  state.counters["frame_ms"] = 1000 * frame_seconds / n;
  state.counters["ratio"] = frame_seconds / bare_seconds;
}

struct Size {
  std::string sheets;
  const char* name;
  int32_t width, height, bits, window_width, window_height;
};

void MenuFrame(benchmark::State& state, const Size& size) {
  Rig rig(size.sheets, size.width, size.height, size.bits, size.window_width, size.window_height);
  state.SetLabel(rig.PathName());
  Compare(
      state, [&] { rig.Menu(); }, [&] { rig.Bare(); });
}

void CreditsFrame(benchmark::State& state, const Size& size) {
  Rig rig(size.sheets, size.width, size.height, size.bits, size.window_width, size.window_height);
  state.SetLabel(rig.PathName());
  Compare(
      state, [&] { rig.Credits(); }, [&] { rig.Bare(); });
}

// A bare 16-bit frame scaled into 1920x1080 against a bare 32-bit one in the same window size.
void Scaled16Against32(benchmark::State& state, const std::string& sheets) {
  Rig shallow(sheets, 800, 600, 16, 1920, 1080);
  Rig deep(sheets, 800, 600, 32, 1920, 1080);
  state.SetLabel(shallow.PathName());
  Compare(
      state, [&] { shallow.Bare(); }, [&] { deep.Bare(); });
}

// Runs this program again as a probe of one path; its time per menu frame and peak memory.
void PathInItsOwnProcess(benchmark::State& state, const std::string& sheets, const char* path) {
  const std::string command = std::filesystem::read_symlink("/proc/self/exe").string() +
                              " --path-probe " + path + " --sheets=" + sheets;
  double milliseconds = 0;
  double megabytes = 0;
  char name[256] = {};
  for ([[maybe_unused]] auto _ : state) {
    FILE* probe = popen(command.c_str(), "r");
    if (probe == nullptr ||
        std::fscanf(probe, "%lf %lf %255[^\n]", &milliseconds, &megabytes, name) != 3) {
      state.SkipWithError("the path probe gave no figures");
      if (probe != nullptr) pclose(probe);
      return;
    }
    pclose(probe);
    state.SetIterationTime(milliseconds / 1000);
  }
  state.SetLabel(name);
  state.counters["frame_ms"] = milliseconds;
  state.counters["peak_rss_MB"] = megabytes;
}

// The probe itself: 800x600x16 menu frames scaled into 1920x1080 on one path.
int PathProbe(const std::string& sheets, const std::string& path) {
  constexpr int kWarmUp = 30;
  constexpr int kFrames = 300;
  const PresentPath chosen =
      path == "renderer" ? PresentPath::kRenderer : PresentPath::kWindowSurface;
  Rig rig(sheets, 800, 600, 16, 1920, 1080, chosen);
  for (int i = 0; i < kWarmUp; ++i) rig.Menu();
  const Steady::time_point start = Steady::now();
  for (int i = 0; i < kFrames; ++i) rig.Menu();
  const double milliseconds = 1000 * Elapsed(start) / kFrames;
  std::printf("%.3f %.1f %s\n", milliseconds, static_cast<double>(PeakResidentKilobytes()) / 1024,
              rig.PathName());
  return 0;
}

void Register(const std::string& sheets) {
  const Size sizes[] = {
      {sheets, "800x600x16", 800, 600, 16, 800, 600},
      {sheets, "800x600x32", 800, 600, 32, 800, 600},
      {sheets, "1920x1080x32", 1920, 1080, 32, 1920, 1080},
      {sheets, "800x600x16_in_1920x1080", 800, 600, 16, 1920, 1080},
  };
  for (const Size& size : sizes) {
    benchmark::RegisterBenchmark((std::string("Menu/") + size.name).c_str(), MenuFrame, size)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Credits/") + size.name).c_str(), CreditsFrame, size)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("Bare/800x600x16_against_x32_in_1920x1080", Scaled16Against32,
                               sheets)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  for (const char* path : {"window_surface", "renderer"}) {
    benchmark::RegisterBenchmark((std::string("Path/") + path).c_str(), PathInItsOwnProcess, sheets,
                                 path)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace
}  // namespace kraylo

int main(int argc, char** argv) {
  std::string sheets;
  std::string probe_path;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--sheets=", 9) == 0) {
      sheets = argv[i] + 9;
    } else if (std::strcmp(argv[i], "--path-probe") == 0 && i + 1 < argc) {
      probe_path = argv[++i];
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  if (sheets.empty()) sheets = kraylo::ExecutableFolder() + "/../../dorvane/graph";
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "No video (run under xvfb-run): %s\n", SDL_GetError());
    return 1;
  }
  int status = 0;
  if (!probe_path.empty()) {
    status = kraylo::PathProbe(sheets, probe_path);
  } else {
    benchmark::Initialize(&argc, argv);
    kraylo::Register(sheets);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  SDL_Quit();
  return status;
}
