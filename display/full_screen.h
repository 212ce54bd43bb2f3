// Entering the full-screen mode, and giving the desktop back when that fails.
#pragma once

#include <cstdint>
#include <string_view>

#include "display/display_state.h"
#include "platform/platform.h"

namespace kraylo {

// Enters a width x height x bits full-screen mode for `window`. On a failure of any step it logs
// an empty line and "Error N: D in function CreateDDS." on screen, writes the time-stamped line
// to Debug.txt, tears the display down, shows cmdExit and txtDebug, and returns normally.
void SetUpFullScreenDisplay(System& system, DisplayState& display, WindowHandle window,
                            int32_t width, int32_t height, int32_t bits);

// The failure report of the display set-up: an empty line and "Error N: D in function F." on
// screen, the time-stamped line in Debug.txt, the display torn down, cmdExit and txtDebug shown.
void ReportDisplayFailure(System& system, DisplayState& display, const RunError& error,
                          std::string_view function);

// Restores the desktop mode, gives up the screen, releases the pair and the display object, and
// shows the system pointer once more. Raises when a step fails.
void TearDownDisplay(System& system, DisplayState& display);

}  // namespace kraylo
