// Messages across the field: wrapped to its width, centred, kept inside it however small it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace kraylo {

// Draws `messages` in the window's face, bright green on black, as lines centred across a field
// of `width` x `height` pixels at the top left of `back`, around the height `middle` and kept
// inside the field. Each message is wrapped on its own (display/wrapped_lines.h); the first size
// whose lines all fit the field's height is taken (the last one whatever happens), so that a
// narrow, low field still shows every word. A `headline` goes above them at twice the size.
// Changes `back`'s fore colour and font.
void DrawFieldMessages(Surface& back, int32_t width, int32_t height,
                       const std::vector<std::string>& messages, int32_t middle,
                       const std::string& headline = {});

}  // namespace kraylo
