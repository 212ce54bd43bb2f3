// Arbitrary bytes as a bitmap file: the decoder must give a whole bitmap or an empty one, and a
// whole bitmap must copy into surfaces of both pixel formats.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const kraylo::Bitmap bitmap = kraylo::DecodeBitmap(data, size);
  if (bitmap.width == 0 && bitmap.height == 0) {
    if (!bitmap.pixels.empty()) std::abort();
    return 0;
  }
  if (bitmap.width < 1 || bitmap.height < 1 ||
      bitmap.pixels.size() !=
          static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height)) {
    std::abort();
  }
  for (int32_t bits : {16, 32}) {
    kraylo::Surface surface(bitmap.width, bitmap.height, bits, nullptr);
    surface.CopyFromBitmap(bitmap);
  }
  return 0;
}
