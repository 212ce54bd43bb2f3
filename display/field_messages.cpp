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

// Lines of one size, as laid out at one of the sizes tried.
struct LinesAt {
  Font font;
  std::vector<std::string> lines;
  int32_t line_height = 0;  // pixels
  int64_t Height() const { return int64_t{line_height} * static_cast<int64_t>(lines.size()); }
};

LinesAt LayOut(Surface& back, const std::vector<std::string>& messages, int32_t width, int points) {
  LinesAt laid{{WindowFont().face, points, true}, {}, points * 9 / 5};
  back.SetFont(laid.font);
  laid.lines = FieldLines(back, messages, width);
  return laid;
}

// Draws `laid` from `y` down, centred; returns the height below it.
int32_t DrawLines(Surface& back, const LinesAt& laid, int32_t width, int32_t y) {
  back.SetFont(laid.font);
  for (const std::string& line : laid.lines) {
    const int32_t line_width = back.TextWidth(line);
    const int32_t x = ToInt32((width - line_width) / 2.0);
    // On black, so that a ball under the words does not make them hard to read.
    back.Fill({x - kMessageMargin, y, x + line_width + kMessageMargin, y + laid.line_height}, 0);
    back.DrawText(x, y, line);
    y += laid.line_height;
  }
  return y;
}

}  // namespace

void DrawFieldMessages(Surface& back, int32_t width, int32_t height,
                       const std::vector<std::string>& messages, int32_t middle,
                       const std::string& headline) {
  back.SetForeColor(kMessageColor);
  const std::vector<std::string> headlines =
      headline.empty() ? std::vector<std::string>{} : std::vector{headline};
  LinesAt head;
  LinesAt body;
  for (const int points : kMessagePoints) {
    head = LayOut(back, headlines, width, points * 2);
    body = LayOut(back, messages, width, points);
    if (head.Height() + body.Height() <= height) break;
  }
  const int64_t block = head.Height() + body.Height();
  const int64_t top = std::max<int64_t>(0, height - block);
  auto y = static_cast<int32_t>(std::clamp<int64_t>(middle - block / 2, 0, top));
  DrawLines(back, body, width, DrawLines(back, head, width, y));
}

}  // namespace kraylo
