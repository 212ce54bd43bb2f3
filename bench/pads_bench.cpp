// What pads cost a tick: the time from a pad's event to the key-state table the next tick reads,
// through SDL's own queue and the window's passes, and what making that table (the players' keys
// and both pads at the usual entries) adds to a tick of the game. Run with tools/bench, or
//   SDL_VIDEODRIVER=dummy build-bench/bench/pads_bench
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "game/balls.h"
#include "game/motion.h"
#include "input/key_source.h"
#include "input/local_keys.h"
#include "platform/headless/headless_system.h"
#include "platform/sdl/sdl_pads.h"
#include "platform/sdl/sdl_system.h"

namespace kraylo {
namespace {

using WallClock = std::chrono::steady_clock;

// A game controller on SDL's virtual joystick driver.
SDL_Joystick* AttachVirtualPad() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Bench Pad";
  return SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
}

void GiveFocus(System& system) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = static_cast<Uint32>(system.window().Handle());
  event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
  SDL_PushEvent(&event);
}

// Lets the window run its passes for `microseconds`, as the frame loop does between presses.
void RunPasses(System& system, long microseconds) {
  const auto until = WallClock::now() + std::chrono::microseconds(microseconds);
  while (WallClock::now() < until) system.window().Yield();
}

// From the D-pad pressed (or let go) on the pad to the table a tick would read: SDL's joystick
// update, its event queue, the window's pass that hands the event to the pads, the table made.
// The window looks at SDL's queue at most once a millisecond, as it does in the game, and a
// player's press falls anywhere in that millisecond: each press comes after a spell of passes
// of its own length.
void BM_PadEventToTickTable(benchmark::State& state) {
  std::unique_ptr<System> system = CreateSdlSystem();
  SDL_Joystick* pad = AttachVirtualPad();
  GiveFocus(*system);
  KeyTable keyboard{};
  const KeyBindings bindings;
  bool down = false;
  long passes = 0;
  unsigned spell = 1;
  for ([[maybe_unused]] auto _ : state) {
    spell = spell * 1103515245u + 12345u;
    RunPasses(*system, static_cast<long>((spell >> 16) % 1000));
    down = !down;
    const auto start = WallClock::now();
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, down ? 1 : 0);
    while (true) {
      system->window().Yield();
      ++passes;
      const KeyTable table = LocalKeys(keyboard, bindings, system->pads());
      if ((table[key_index::kLeft] != 0) == down) break;
    }
    state.SetIterationTime(std::chrono::duration<double>(WallClock::now() - start).count());
  }
  state.counters["passes_per_event"] =
      benchmark::Counter(static_cast<double>(passes), benchmark::Counter::kAvgIterations);
  SDL_JoystickClose(pad);
}
BENCHMARK(BM_PadEventToTickTable)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One pad event taken by the pads, once SDL has it: the backend's own share of the above.
void BM_PadEventTaken(benchmark::State& state) {
  SdlPads pads;
  SDL_Joystick* pad = AttachVirtualPad();
  SDL_PumpEvents();
  SDL_Event event{};
  while (SDL_PollEvent(&event) == 1) pads.Handle(event);
  event = {};
  event.cbutton.which = SDL_JoystickInstanceID(pad);
  event.cbutton.button = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
  bool down = false;
  for ([[maybe_unused]] auto _ : state) {
    down = !down;
    event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    event.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    pads.Handle(event);
    benchmark::DoNotOptimize(pads);
  }
  SDL_JoystickClose(pad);
}
BENCHMARK(BM_PadEventTaken);

// ---- What the table adds to a tick ----

class NoRandom : public Random {
 public:
  void Reseed() override {}
  float Next() override { return 0; }
};

// Balls apart at the start of a round, player 1 holding Right, player 2's pad pushing up.
struct TickScene {
  TickScene() : machine("/tmp") {
    game.ScreenWidth = 800;
    game.ScreenHeight = 600;
    game.Running = true;
    game.Balls(1) = TBall{349, 249, 0, 0, true};
    game.Balls(2) = TBall{451, 351, 0, 0, true};
    keyboard[key_index::kRight] = key_index::kHeld;
    machine.PlugPad("One");
    const PadId two = machine.PlugPad("Two");
    machine.SetPadButton(two, PadButton::kDpadUp, true);
    machine.Push(InputEvent::FocusGained());
    machine.window().Yield();
  }
  HeadlessSystem machine;
  GameModel game;
  KeyTable keyboard{};
  KeyBindings bindings;
  NoRandom random;
};

// A tick on the keyboard's table as it is, as before pads and the players' keys.
void BM_TickOnTheKeyboardsTable(benchmark::State& state) {
  TickScene scene;
  const GameModel start = scene.game;
  for ([[maybe_unused]] auto _ : state) {
    scene.game = start;
    TableKeys keys(scene.keyboard);
    MoveTick(scene.game, keys, scene.random);
    benchmark::DoNotOptimize(scene.game);
  }
}
BENCHMARK(BM_TickOnTheKeyboardsTable);

// The same tick on the table made from the keys, the bindings and both pads.
void BM_TickOnTheLocalTable(benchmark::State& state) {
  TickScene scene;
  const GameModel start = scene.game;
  for ([[maybe_unused]] auto _ : state) {
    scene.game = start;
    const KeyTable local = LocalKeys(scene.keyboard, scene.bindings, scene.machine.pads());
    TableKeys keys(local);
    MoveTick(scene.game, keys, scene.random);
    benchmark::DoNotOptimize(scene.game);
  }
}
BENCHMARK(BM_TickOnTheLocalTable);

// Making the table alone.
void BM_LocalTable(benchmark::State& state) {
  TickScene scene;
  for ([[maybe_unused]] auto _ : state) {
    KeyTable local = LocalKeys(scene.keyboard, scene.bindings, scene.machine.pads());
    benchmark::DoNotOptimize(local);
  }
}
BENCHMARK(BM_LocalTable);

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
