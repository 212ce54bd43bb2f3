// The real machine: SDL2 video, the main window on the desktop, the keyboard, the game pads and
// the files beside the executable.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kraylo {

// How the real machine is set up; the defaults are the game's.
struct SdlOptions {
  // Where the display has no vertical sync, full-screen frames are paced to its refresh by
  // sleeping; benchmarks measure frames without it.
  bool pace_frames = true;
};

// Starts SDL's video and game pads and makes the main window (hidden until Run shows it). Raises
// kErrNoVideo with SDL's reason when either cannot be had, and when no display shows the game
// (SDL would draw into memory only; its offscreen and dummy drivers are taken only when
// SDL_VIDEODRIVER names them); SDL is shut down again when the system is gone.
std::unique_ptr<System> CreateSdlSystem(const SdlOptions& options = {});

// The machine's files alone (the program folder beside the executable), for work that needs no
// window; no SDL is started.
std::unique_ptr<Files> CreateMachineFiles();

// The command line's arguments after the program's name, as UTF-8. On Windows, where the program
// has no console of its own, this also borrows the console of the program that started it (when
// there is one and the output is not already going elsewhere), so that --help, --version and
// errors print there.
std::vector<std::string> ProcessArguments(int argc, char** argv);

// Tells the player that the program cannot start: on stderr, and on Windows in a message box as
// well when no console shows stderr.
void ShowStartError(const std::string& text);

}  // namespace kraylo
