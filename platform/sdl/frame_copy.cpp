#include "platform/sdl/frame_copy.h"

#include <cstring>

#include "platform/graphics/pixels.h"

namespace kraylo {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

void Convert32(const uint32_t* from, int32_t count, uint32_t* to) {
  for (int32_t i = 0; i < count; ++i) to[i] = from[i] | kOpaque;
}

void Convert16(const uint32_t* from, int32_t count, const uint32_t* table, uint32_t* to) {
  for (int32_t i = 0; i < count; ++i) to[i] = table[from[i] & 0xFFFFu];
}

void Scale32(const uint32_t* from, const int32_t* columns, int32_t count, uint32_t* to) {
  for (int32_t i = 0; i < count; ++i) to[i] = from[columns[i]] | kOpaque;
}

void Scale16(const uint32_t* from, const int32_t* columns, int32_t count, const uint32_t* table,
             uint32_t* to) {
  for (int32_t i = 0; i < count; ++i) to[i] = table[from[columns[i]] & 0xFFFFu];
}

// The source index shown at target index `index` of `target_size` covering `source_size`.
int32_t SourceIndex(int32_t index, int32_t source_size, int32_t target_size) {
  return static_cast<int32_t>(int64_t{index} * source_size / target_size);
}

}  // namespace

const std::vector<uint32_t>& FrameCopier::Rgb565Table() {
  if (rgb565_.empty()) {
    rgb565_.resize(0x10000);
    for (uint32_t pixel = 0; pixel < 0x10000; ++pixel) rgb565_[pixel] = RgbFrom565(pixel) | kOpaque;
  }
  return rgb565_;
}

void FrameCopier::Copy(const Surface& picture, int32_t source_width, int32_t source_height,
                       const Letterbox& box, uint8_t* pixels, int32_t pitch) {
  if (box.width < 1 || box.height < 1 || source_width < 1 || source_height < 1) return;
  const bool is16 = picture.bits() == 16;
  const uint32_t* table = is16 ? Rgb565Table().data() : nullptr;
  const bool one_to_one = box.width == source_width && box.height == source_height;
  if (!one_to_one && (columns_for_width_ != box.width || columns_for_source_ != source_width)) {
    columns_.resize(static_cast<size_t>(box.width));
    for (int32_t x = 0; x < box.width; ++x) {
      columns_[static_cast<size_t>(x)] = SourceIndex(x, source_width, box.width);
    }
    columns_for_width_ = box.width;
    columns_for_source_ = source_width;
  }
  auto target_row = [&](int32_t y) {
    return reinterpret_cast<uint32_t*>(pixels + static_cast<int64_t>(box.y + y) * pitch) + box.x;
  };
  int32_t previous_source_row = -1;
  for (int32_t y = 0; y < box.height; ++y) {
    const int32_t source_row = one_to_one ? y : SourceIndex(y, source_height, box.height);
    uint32_t* to = target_row(y);
    if (source_row == previous_source_row) {
      // Enlarged rows repeat: copy the row just made instead of converting again.
      std::memcpy(to, target_row(y - 1), static_cast<size_t>(box.width) * sizeof(uint32_t));
      continue;
    }
    previous_source_row = source_row;
    const uint32_t* from = picture.Row(source_row);
    if (one_to_one) {
      is16 ? Convert16(from, box.width, table, to) : Convert32(from, box.width, to);
    } else {
      is16 ? Scale16(from, columns_.data(), box.width, table, to)
           : Scale32(from, columns_.data(), box.width, to);
    }
  }
}

}  // namespace kraylo
