// The frame-rate counter drawn on every screen.
#pragma once

#include <cstdint>

#include "display/display_state.h"
#include "platform/platform.h"

namespace kraylo {

// Counts the frame, measures every 30 frames from the monotonic clock, and draws "FPS: " and the
// last rate in white in the log's font at (x, y), putting the fore colour back.
void DrawFPS(FpsCounter& counter, DisplayState& display, Clock& clock, char decimal_separator,
             int32_t x, int32_t y);

}  // namespace kraylo
