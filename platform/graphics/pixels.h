// Pixel values of the surface formats and their conversions, shared by surfaces, text and the
// screens that show them.
#pragma once

#include <cstdint>

namespace kraylo {

// The channels of a colour packed as red + 256 * green + 65536 * blue (the high byte ignored).
constexpr uint32_t PackedRed(int32_t color) { return static_cast<uint32_t>(color) & 0xFFu; }
constexpr uint32_t PackedGreen(int32_t color) {
  return (static_cast<uint32_t>(color) >> 8) & 0xFFu;
}
constexpr uint32_t PackedBlue(int32_t color) {
  return (static_cast<uint32_t>(color) >> 16) & 0xFFu;
}

// A 16-bit RGB565 pixel value from 8-bit channels (the low bits are dropped).
constexpr uint32_t Rgb565(uint32_t red, uint32_t green, uint32_t blue) {
  return ((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3);
}

// The 0xRRGGBB value of an RGB565 pixel; the top bits are repeated into the low ones, so that
// white stays 0xFFFFFF and black 0.
constexpr uint32_t RgbFrom565(uint32_t pixel) {
  const uint32_t red = (pixel >> 11) & 0x1Fu;
  const uint32_t green = (pixel >> 5) & 0x3Fu;
  const uint32_t blue = pixel & 0x1Fu;
  return (((red << 3) | (red >> 2)) << 16) | (((green << 2) | (green >> 4)) << 8) |
         ((blue << 3) | (blue >> 2));
}

// The pixel value of 8-bit channels in a surface format of `bits` (16: RGB565, else 0xRRGGBB).
constexpr uint32_t PixelOf(int32_t bits, uint32_t red, uint32_t green, uint32_t blue) {
  return bits == 16 ? Rgb565(red, green, blue) : (red << 16) | (green << 8) | blue;
}

// The 0xRRGGBB value of a pixel of a surface format of `bits`.
constexpr uint32_t RgbOf(int32_t bits, uint32_t pixel) {
  return bits == 16 ? RgbFrom565(pixel) : pixel & 0xFFFFFFu;
}

}  // namespace kraylo
