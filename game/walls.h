// The screen edges: a ball over one is walked back onto the screen pixel by pixel.
#pragma once

#include <cstdint>

#include "game/balls.h"

namespace kraylo {

// Tests the left, right, top and bottom edges in turn on `ball` (pixels) and pushes it back over
// each one it crossed; true when it crossed any. Raises 6 for ScreenWidth or ScreenHeight at the
// 32-bit minimum, 6 or 5 for a non-finite position. Terminates for every finite position.
bool PushBackFromEdges(TBall& ball, int32_t screen_width, int32_t screen_height);

}  // namespace kraylo
