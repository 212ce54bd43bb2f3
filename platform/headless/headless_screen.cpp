#include "platform/headless/headless_screen.h"

#include <string>

namespace kraylo {

void TextRecorder::Draw(Surface& target, int32_t x, int32_t y, std::string_view text,
                        const Font& font, int32_t color) {
  inner_.Draw(target, x, y, text, font, color);
  texts_.pending.push_back({x, y, std::string(text), font, color});
}

void HeadlessScreen::PresentFrame(const Surface& frame) {
  last_frame_ = frame;
  ++frames_shown_;
  texts_.last_frame = std::move(texts_.pending);
  texts_.pending.clear();
}

}  // namespace kraylo
