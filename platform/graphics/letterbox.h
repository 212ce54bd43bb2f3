// Scaling a frame into a window of another size with its aspect ratio kept: the frame fills the
// window in one direction and black bars fill the rest.
#pragma once

#include <cstdint>

namespace kraylo {

// Where the scaled frame lies in the window, in window pixels.
struct Letterbox {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const Letterbox&, const Letterbox&) = default;
};

// The largest rectangle of the frame's aspect ratio that fits the window, centred (an odd spare
// pixel goes to the right or bottom bar). Empty when the frame or the window has no area.
Letterbox FitFrame(int32_t frame_width, int32_t frame_height, int32_t window_width,
                   int32_t window_height);

// The frame column or row shown at window pixel `window_index` along one axis, where the frame's
// `frame_size` pixels cover `box_size` window pixels starting at `box_start`. Positions in the
// bars give the nearest edge pixel of the frame.
int32_t FramePixelAt(float window_index, int32_t box_start, int32_t box_size, int32_t frame_size);

}  // namespace kraylo
