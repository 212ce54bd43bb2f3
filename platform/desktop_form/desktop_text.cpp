#include "platform/desktop_form/desktop_text.h"

#include <algorithm>
#include <cstdio>

#include "platform/run_error.h"

namespace kraylo {
namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kFallbackCharWidth = 7;

int32_t Channel(int32_t packed, int shift) { return (packed >> shift) & 0xFF; }

// `background` moved towards `foreground` by `coverage` of 255 (anti-aliased letter edges).
int32_t Blend(int32_t background, int32_t foreground, int32_t coverage) {
  int32_t blended = 0;
  for (int shift : {0, 8, 16}) {
    const int32_t from = Channel(background, shift);
    const int32_t to = Channel(foreground, shift);
    blended |= (from + (to - from) * coverage / 255) << shift;
  }
  return blended;
}

}  // namespace

int32_t EstimateTextWidth(std::string_view text) {
  const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
  });
  return static_cast<int32_t>(characters) * kFallbackCharWidth;
}

DesktopText::DesktopText(TextRenderer& renderer)
    : renderer_(renderer), scratch_(kScratchWidth, kScratchHeight, 32, &renderer) {}

int32_t DesktopText::Measure(std::string_view text, const Font& font) {
  if (!Render(text, font)) return EstimateTextWidth(text);
  int32_t width = 0;
  for (int32_t y = 0; y < kScratchHeight; ++y) {
    const uint32_t* row = scratch_.Row(y);
    for (int32_t x = kScratchWidth - 1; x >= width; --x) {
      if (row[x] != 0) {
        width = x + 1;
        break;
      }
    }
  }
  return width;
}

void DesktopText::Draw(Surface& target, const Rect& clip, int32_t x, int32_t y,
                       std::string_view text, const Font& font, int32_t color) {
  if (!Render(text, font)) return;
  const int32_t left = std::max({clip.left, x, 0});
  const int32_t right = std::min({clip.right, x + kScratchWidth, target.width()});
  const int32_t top = std::max({clip.top, y, 0});
  const int32_t bottom = std::min({clip.bottom, y + kScratchHeight, target.height()});
  for (int32_t ty = top; ty < bottom; ++ty) {
    for (int32_t tx = left; tx < right; ++tx) {
      const int32_t lit = scratch_.UnmapPixel(scratch_.Pixel(tx - x, ty - y));
      if (lit == 0) continue;
      const int32_t coverage = std::max({Channel(lit, 0), Channel(lit, 8), Channel(lit, 16)});
      const int32_t under = target.UnmapPixel(target.Pixel(tx, ty));
      target.SetPixel(tx, ty, target.MapColor(Blend(under, color, coverage)));
    }
  }
}

bool DesktopText::Render(std::string_view text, const Font& font) {
  scratch_.Fill({0, 0, kScratchWidth, kScratchHeight}, 0);
  try {
    renderer_.Draw(scratch_, 0, 0, text, font, kWhite);
    return true;
  } catch (const RunError& error) {
    // The controls still work without their letters; say so once rather than on every repaint.
    if (!failure_reported_) {
      std::fprintf(stderr, "Kraylo: the window's text cannot be drawn: %s\n",
                   error.description().c_str());
      failure_reported_ = true;
    }
    return false;
  }
}

}  // namespace kraylo
