// The window's events: the menu worked with the mouse, Esc between the screens, the Exit button,
// and the timer that runs the game.
#include "display/sprites.h"
#include "input/keyboard.h"
#include "input/local_keys.h"
#include "platform/events.h"
#include "shell/program.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// The menu button that has no effect: not even a click is heard.
constexpr int kDoesNothingButton = 3;

// What a click on menu button `number` (1 to 5) does.
void PressMenuButton(Program& program, int number) {
  ScreenState& screen = program.screen;
  Window& window = program.system.window();
  if (number != kDoesNothingButton) PlayClick(program);
  switch (number) {
    case 1:
      StartGame(program);
      break;
    case 2:
      screen.Shown = kEmptyScreen;
      break;
    case 4:
      // The credits start just below the bottom edge.
      screen.Shown = kCreditsScreen;
      screen.CreditsY = program.game.ScreenHeight;
      break;
    case 5:
      window.Unload();
      window.EndProgram();
    default:
      // Button 3 is tested like the others and does nothing.
      break;
  }
}

// The keys are polled first, as the simulation's first step always did: a failed poll abandons
// the tick. The players' own keys and pads then decide the table the game reads.
void TimerTick(Program& program) {
  GetDeviceStateKeyboard(program.keyboard, program.system.keyboard());
  program.match->Tick(
      program, LocalKeys(program.keyboard.KeyState, program.bindings, program.system.pads()));
  PlayGameSounds(program);
}

}  // namespace

void StartGame(Program& program) {
  program.screen.Shown = kGameScreen;
  program.system.window().StartTimer();
}

void HandleMouseMove(ScreenState& screen, float x, float y) {
  screen.MouseX = FloorToInt16(x);
  screen.MouseY = FloorToInt16(y);
}

void HandleMouseDown(Program& program) {
  if (program.screen.Shown != kMenuScreen) return;
  // Every button is tested on every click; the hit areas do not overlap, so at most one acts.
  for (int i = 0; i < kMenuButtonCount; ++i) {
    const ScreenState& screen = program.screen;
    if (IsOverButton(screen.MouseX, screen.MouseY, screen.MenuX, kMenuButtonTops[i])) {
      PressMenuButton(program, i + 1);
    }
  }
}

void HandleKeyDown(Program& program, int16_t key_code) {
  if (key_code != kKeyEscape) return;
  ScreenState& screen = program.screen;
  switch (screen.Shown) {
    case kMenuScreen:
      program.game.Running = false;
      break;
    // Nothing sets screen 1, but the key table sends it back to the menu like the others.
    case 1:
    case kCreditsScreen:
    case kEmptyScreen:
      screen.Shown = kMenuScreen;
      break;
    default:
      // On the game screen Esc is read from the key-state table at the next tick instead.
      break;
  }
}

void ExitClick(Program& program) { program.system.window().EndProgram(); }

WindowEvents BindEvents(Program& program) {
  WindowEvents events;
  events.activate = [&program] { StartUp(program); };
  events.key_down = [&program](int16_t key_code, int16_t shift, bool repeat) {
    if (program.screen.Shown == kAddressScreen) {
      AddressKey(program, key_code, shift);
      return;
    }
    if (program.screen.Shown == kGameScreen) program.match->KeyDown(program, key_code, repeat);
    HandleKeyDown(program, key_code);
  };
  events.text_input = [&program](const std::string& text) {
    if (program.screen.Shown == kAddressScreen) AddressText(program, text);
  };
  // On the game screen the pointer belongs to the kind of game (a replay's timeline bar).
  events.mouse_down = [&program](int16_t, int16_t, float, float) {
    if (program.screen.Shown == kGameScreen) program.match->Click(program);
    HandleMouseDown(program);
  };
  events.mouse_move = [&program](int16_t, int16_t, float x, float y) {
    HandleMouseMove(program.screen, x, y);
    if (program.screen.Shown == kGameScreen) program.match->PointerMoved(program);
  };
  events.exit_click = [&program] { ExitClick(program); };
  events.timer_tick = [&program] { TimerTick(program); };
  return events;
}

}  // namespace kraylo
