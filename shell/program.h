// The program's state, owned by main and handed to every part of the shell, and the procedures
// the main window runs: start-up, the frame loop with its screens, and the event handlers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "display/display_state.h"
#include "game/balls.h"
#include "input/keyboard.h"
#include "input/local_keys.h"
#include "net/transport.h"
#include "online/host_lookup.h"
#include "online/host_reach.h"
#include "online/net_settings.h"
#include "platform/platform.h"
#include "playback/timeline.h"
#include "replay/replay_writer.h"
#include "shell/matches/match.h"
#include "shell/options.h"
#include "shell/program_sound.h"
#include "shell/screens/address_screen.h"

namespace kraylo {

// The screens the frame loop draws.
enum ScreenShown : int16_t {
  kMenuScreen = 0,
  kCreditsScreen = 3,
  kGameScreen = 4,
  kEmptyScreen = 5,
  kAddressScreen = 6,  // --join alone: the host's address is typed before the menu
};

// What the menu and its events switch between.
struct ScreenState {
  int16_t Shown = kMenuScreen;  // the screen shown: 0 menu, 3 credits, 4 game, 5 empty
  int16_t MouseX = 0;           // last pointer position from a mouse move, pixels
  int16_t MouseY = 0;           // pixels
  int16_t MenuX = 0;            // left edge of every menu button, pixels
  int32_t CreditsY = 0;         // top of the scrolling credits, pixels
};

// A playing field's size, pixels.
struct FieldSize {
  int32_t width = 0;
  int32_t height = 0;
};

// What a run is given before its window opens, for the match to be made from.
struct RunResources {
  std::unique_ptr<Transport> transport;  // a network game's, opened at once
  HostReach reach;                       // how players reach a host
  Dialer dial;                           // --join alone: looks the typed address up
  // --join alone: the socket of a game joined by a typed code.
  std::function<std::unique_ptr<Transport>()> open_for_meeting;
  std::optional<Timeline> replay;  // --replay: the games to show, read and checked
};

// Everything the program keeps for the length of a run (Running, ShowDebug and the screen size
// live in `game`). The display's surfaces come from `system`, so the Program must go first.
struct Program {
  explicit Program(System& machine, const Options& command_line = {})
      : system(machine), options(command_line), match(MakeLocalMatch()) {}

  System& system;                // window, display, keyboard, files, clock and chance
  Options options;               // the command line; start-up resolves its mode
  RunResources resources;        // what the match is made from
  NetSettings net_settings;      // [Net], read at start-up by a network run
  GameModel game;                // balls, drop state, Running, ShowDebug, ScreenWidth/Height
  ScreenState screen;            // the active screen, pointer, menu and credits positions
  KeyboardDevice keyboard;       // the keyboard device and its last poll
  KeyBindings bindings;          // the players' own keys ([Keys])
  DisplayState display;          // the full-screen pair and the sprite sheets
  FpsCounter fps;                // the frame-rate counter
  std::unique_ptr<Match> match;  // what plays the game's ticks

  std::unique_ptr<ReplayWriter> recorder;  // --record: where the games' ticks go
  // The field of a replay: the display takes this size instead of the configured one.
  std::optional<FieldSize> field;
  // --join alone: the address screen's state until the address has been looked up.
  std::optional<AddressEntry> address_entry;

  // Last, so that the sound output closes before anything it could hear goes.
  ProgramSound sound;
};

inline constexpr int kMenuButtonCount = 5;
// Tops of menu buttons 1 to 5, pixels; the index + 1 is the button's number and sprite row + 1.
inline constexpr std::array<int16_t, kMenuButtonCount> kMenuButtonTops = {250, 290, 330, 370, 410};

// The window's events bound to the handlers below, all working on `program`.
WindowEvents BindEvents(Program& program);

// Passes over the window's event queue that start-up makes before it opens the keyboard.
inline constexpr int kStartUpYields = 6001;

// The first activation: logs, reads the display size, opens the keyboard and runs the frame loop.
void StartUp(Program& program);
// The frame loop: enters the display, loads the sheets, then draws frames until Running is false.
void Working(Program& program);

// Shows the game screen and starts the timer that runs the game (menu button 1).
void StartGame(Program& program);
// Records the pointer position (pixels, rounded down).
void HandleMouseMove(ScreenState& screen, float x, float y);
// A click on the menu acts on the button under the last recorded pointer position.
void HandleMouseDown(Program& program);
// Esc (27) goes back to the menu or, on the menu, ends the program; other keys do nothing.
void HandleKeyDown(Program& program, int16_t key_code);
// The Exit button ends the program at once.
void ExitClick(Program& program);

}  // namespace kraylo
