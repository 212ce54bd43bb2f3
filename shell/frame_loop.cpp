// The frame loop: display set-up, sprite sheets, the first round, then one frame per pass until
// Running is cleared. Every step is guarded on its own, so a failing draw costs only itself.
#include <array>
#include <memory>
#include <string_view>

#include "display/fps.h"
#include "display/full_screen.h"
#include "display/sprites.h"
#include "game/balls.h"
#include "platform/data_files.h"
#include "platform/run_error.h"
#include "shell/config_keys.h"
#include "shell/screens/screens.h"
#include "support/config.h"
#include "support/log.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// The sprite sheets in loading order and the surface each one fills.
struct SheetSlot {
  std::string_view file;
  std::unique_ptr<Surface> DisplayState::*surface;
};
constexpr std::array<SheetSlot, 3> kSheets = {{
    {kBallsSheet, &DisplayState::ball_sheet},
    {kCursorSheet, &DisplayState::cursor_sheet},
    {kButtonsSheet, &DisplayState::button_sheet},
}};
// Black (pixel value 0) is transparent in every sheet.
constexpr uint32_t kSheetColorKey = 0;

// Reads the display mode and enters it. A mode that cannot be read (a key that is not a number,
// a configuration that has gone) is reported like a display failure, so that the player gets the
// log and the Exit button instead of an empty window.
void EnterDisplay(Program& program) {
  System& system = program.system;
  const WindowHandle window = system.window().Handle();
  std::array<int32_t, kDisplayKeys.size()> mode{};
  try {
    for (size_t i = 0; i < kDisplayKeys.size(); ++i) {
      mode[i] =
          ToWholeNumber(ReadConfig(system.files(), kConfigFile, kScreenSection, kDisplayKeys[i]));
    }
  } catch (const RunError& error) {
    ReportDisplayFailure(system, program.display, error, "Working");
    return;
  }
  if (program.field) {
    mode[0] = program.field->width;
    mode[1] = program.field->height;
  }
  SetUpFullScreenDisplay(system, program.display, window, mode[0], mode[1], mode[2]);
}

void SetUp(Program& program) {
  DisplayState& display = program.display;
  Guarded([&] { EnterDisplay(program); });
  Guarded([&] { AddLog(program.system.window(), " Unpacking resources..."); });
  // A sheet that cannot be loaded stays absent, and every draw from it is skipped.
  for (const SheetSlot& sheet : kSheets) {
    Guarded([&] {
      display.*sheet.surface = CreateSurface(program.system, display, sheet.file, kSheetColorKey);
    });
  }
  Guarded([&] { ResetBalls(program.game, program.system.random(), 0); });
  Guarded([&] { program.game.ShowDebug = false; });
  if (ShowsGameAtOnce(program.options.mode)) {
    Guarded([&] { StartGame(program); });
  }
}

// One pass of the loop after the Running test: events, then a complete picture, then the flip.
void RunFrame(Program& program, int32_t& saved_fore_color) {
  System& system = program.system;
  ScreenState& screen = program.screen;
  DisplayState& display = program.display;
  // Without a display (its set-up failed) the window shows its log and Exit button, and nothing
  // changes but through an event.
  if (display.primary) {
    Guarded([&] { system.window().Yield(); });
  } else {
    Guarded([&] { system.window().WaitThenYield(); });
  }
  ServeSound(program);
  // On the address screen keys type: the mute key is a letter there like any other.
  if (!program.address_entry) WatchMuteKey(program);
  // Not guarded: a network game that cannot go on must say so, not fail in silence every frame.
  program.match->Serve(program);
  if (program.address_entry) ServeAddressEntry(program);
  PlayGameSounds(program);
  Guarded([&] { ClearBackBuffer(display.back_buffer); });
  switch (screen.Shown) {
    case kMenuScreen:
      DrawMenu(program);
      break;
    case kCreditsScreen:
      DrawCredits(program);
      break;
    case kAddressScreen:
      DrawAddressScreen(program);
      break;
    case kGameScreen:
      DrawGameScreen(program, saved_fore_color);
      break;
    default:
      break;
  }
  DrawSoundNote(program);
  // On the game screen the pointer shows only with a bar to click.
  if (screen.Shown != kGameScreen || program.match->Bar()) {
    Guarded([&] { DrawCursor(display, screen.MouseX, screen.MouseY, 0, 0, 30); });
  }
  Guarded(
      [&] { DrawFPS(program.fps, display, system.clock(), system.DecimalSeparator(), 10, 10); });
  Guarded([&] { SetUpPart(display.primary.get()).Flip(); });
}

}  // namespace

void Working(Program& program) {
  SetUp(program);
  // The debug overlay's saved text colour lives as long as the loop.
  int32_t saved_fore_color = 0;
  while (program.game.Running) RunFrame(program, saved_fore_color);
  // Nothing is released and the display mode stays: the window system gives the desktop back.
  program.system.window().Unload();
}

}  // namespace kraylo
