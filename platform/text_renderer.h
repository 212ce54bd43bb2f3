// Text for the program's surfaces: TrueType fonts found on the machine, rendered once per
// (font, colour, text) and copied colour-keyed after that.
#pragma once

#include <memory>

#include "platform/surface.h"

namespace kraylo {

// The renderer both backends use. Tahoma-compatible faces come from the fonts-wine files (their
// known folder, or fontconfig); when they are missing, fontconfig's sans face stands in, so a
// missing font file never stops the program.
std::unique_ptr<TextRenderer> CreateTextRenderer();

}  // namespace kraylo
