// Text for the desktop window's controls: dark letters blended onto light faces, and widths for
// laying rows out. The text renderer draws letters on black only and has no metrics, so both go
// through a small black scratch surface the letters are drawn on in white.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/surface.h"

namespace kraylo {

// A width for `text` when it cannot be measured: 7 pixels per character.
int32_t EstimateTextWidth(std::string_view text);

class DesktopText {
 public:
  // The widest and tallest text the scratch holds (pixels); wider text measures this wide.
  static constexpr int32_t kScratchWidth = 512;
  static constexpr int32_t kScratchHeight = 32;

  // `renderer` must outlive this object.
  explicit DesktopText(TextRenderer& renderer);

  // The width of `text` in `font` from its left edge to its last lit column (pixels).
  int32_t Measure(std::string_view text, const Font& font);
  // Draws `text` with its top-left corner at (x, y) in `color` (packed red + 256 * green +
  // 65536 * blue), blended over the pixels of `target`, clipped to `clip`.
  void Draw(Surface& target, const Rect& clip, int32_t x, int32_t y, std::string_view text,
            const Font& font, int32_t color);

 private:
  // Draws `text` in white on the cleared scratch; false when it cannot be drawn.
  bool Render(std::string_view text, const Font& font);

  TextRenderer& renderer_;
  Surface scratch_;
  bool failure_reported_ = false;
};

}  // namespace kraylo
