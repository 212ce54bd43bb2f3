#include "display/field_messages.h"

#include <algorithm>
#include <array>

#include "display/wrapped_lines.h"
#include "platform/platform.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

constexpr std::array<int, 3> kMessagePoints = {20, 14, 10};
constexpr int32_t kMessageColor = 0x00FF00;  // bright green, packed RGB
constexpr int32_t kMessageMargin = 12;       // black left and right of the words, pixels

// The lines of `messages` as they fit the field in `surface`'s current font.
std::vector<std::string> FieldLines(const Surface& surface,
                                    const std::vector<std::string>& messages, int32_t width) {
  const TextMeasure measure = [&](std::string_view text) { return surface.TextWidth(text); };
  std::vector<std::string> lines;
  for (const std::string& message : messages) {
    for (std::string& line : WrappedLines(message, width - 2 * kMessageMargin, measure)) {
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

}  // namespace

void DrawFieldMessages(Surface& back, int32_t width, int32_t height,
                       const std::vector<std::string>& messages, int32_t middle) {
  back.SetForeColor(kMessageColor);
  std::vector<std::string> lines;
  int32_t line_height = 0;
  for (const int points : kMessagePoints) {
    back.SetFont({WindowFont().face, points, true});
    lines = FieldLines(back, messages, width);
    line_height = points * 9 / 5;
    if (int64_t{line_height} * static_cast<int64_t>(lines.size()) <= height) break;
  }
  const int64_t block = int64_t{line_height} * static_cast<int64_t>(lines.size());
  const int64_t top = std::max<int64_t>(0, height - block);
  auto y = static_cast<int32_t>(std::clamp<int64_t>(middle - block / 2, 0, top));
  for (const std::string& line : lines) {
    const int32_t line_width = back.TextWidth(line);
    const int32_t x = ToInt32((width - line_width) / 2.0);
    // On black, so that a ball under the words does not make them hard to read.
    back.Fill({x - kMessageMargin, y, x + line_width + kMessageMargin, y + line_height}, 0);
    back.DrawText(x, y, line);
    y += line_height;
  }
}

}  // namespace kraylo
