#include "platform/graphics/letterbox.h"

#include <algorithm>
#include <cmath>

namespace kraylo {

Letterbox FitFrame(int32_t frame_width, int32_t frame_height, int32_t window_width,
                   int32_t window_height) {
  if (frame_width < 1 || frame_height < 1 || window_width < 1 || window_height < 1) return {};
  const int64_t fw = frame_width;
  const int64_t fh = frame_height;
  const int64_t ww = window_width;
  const int64_t wh = window_height;
  Letterbox box;
  if (ww * fh <= wh * fw) {
    // The window is narrower than the frame: full width, bars above and below.
    box.width = window_width;
    box.height = static_cast<int32_t>(std::clamp<int64_t>((ww * fh + fw / 2) / fw, 1, wh));
  } else {
    box.height = window_height;
    box.width = static_cast<int32_t>(std::clamp<int64_t>((wh * fw + fh / 2) / fh, 1, ww));
  }
  box.x = (window_width - box.width) / 2;
  box.y = (window_height - box.height) / 2;
  return box;
}

int32_t FramePixelAt(float window_index, int32_t box_start, int32_t box_size, int32_t frame_size) {
  if (box_size < 1 || frame_size < 1) return 0;
  const double scaled =
      std::floor((static_cast<double>(window_index) - box_start) * frame_size / box_size);
  if (std::isnan(scaled)) return 0;
  return static_cast<int32_t>(std::clamp(scaled, 0.0, static_cast<double>(frame_size - 1)));
}

}  // namespace kraylo
