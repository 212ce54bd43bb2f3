// Turning surface pixels into the 32-bit pixels a window or a texture takes, scaled by nearest
// neighbour. Internal to the SDL backend.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/letterbox.h"
#include "platform/surface.h"

namespace kraylo {

// Copies a picture into 32-bit 0xAARRGGBB rows (alpha opaque), as the target's pixels at
// `pixels` with `pitch` bytes per row; the picture's `source_width` x `source_height` top-left
// part is scaled to fill `box` of the target.
class FrameCopier {
 public:
  void Copy(const Surface& picture, int32_t source_width, int32_t source_height,
            const Letterbox& box, uint8_t* pixels, int32_t pitch);

 private:
  // The 0xAARRGGBB value of every 16-bit pixel value, built on the first 16-bit picture.
  const std::vector<uint32_t>& Rgb565Table();

  std::vector<uint32_t> rgb565_;
  std::vector<int32_t> columns_;  // source column of each target column of the last box
  int32_t columns_for_width_ = -1;
  int32_t columns_for_source_ = -1;
};

}  // namespace kraylo
