// Bitmap files (.bmp) decoded at their own size.
#pragma once

#include <cstddef>
#include <string>

#include "platform/surface.h"

namespace kraylo {

// Decodes a .bmp held in memory; an empty Bitmap when the bytes are not a complete bitmap.
Bitmap DecodeBitmap(const void* bytes, size_t size);
// Reads and decodes a .bmp file; an empty Bitmap when it is missing, truncated or not a bitmap.
Bitmap LoadBitmapFile(const std::string& path);

}  // namespace kraylo
