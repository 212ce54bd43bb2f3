#include "platform/surface.h"

#include <algorithm>
#include <string>

#include "platform/graphics/pixels.h"
#include "platform/run_error.h"

namespace kraylo {
namespace {

std::string RectText(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  // Appended piece by piece: GCC 12 mistakes "literal" + std::string&& for an overlapping copy.
  std::string text = "(";
  text += std::to_string(left) + ", " + std::to_string(top) + ")-(";
  text += std::to_string(right) + ", " + std::to_string(bottom) + ")";
  return text;
}

std::string SizeText(int32_t width, int32_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// The value a pixel of a `from_bits` surface takes in a `to_bits` surface.
uint32_t ConvertPixel(int32_t from_bits, int32_t to_bits, uint32_t pixel) {
  const uint32_t rgb = RgbOf(from_bits, pixel);
  return PixelOf(to_bits, (rgb >> 16) & 0xFFu, (rgb >> 8) & 0xFFu, rgb & 0xFFu);
}

// 24- and 32-bit surfaces hold the same 0xRRGGBB values; only 16-bit ones differ.
bool SameRepresentation(int32_t bits_a, int32_t bits_b) { return (bits_a == 16) == (bits_b == 16); }

}  // namespace

bool IsSupportedDepth(int32_t bits) { return bits == 16 || bits == 24 || bits == 32; }

Surface::Surface(int32_t width, int32_t height, int32_t bits, TextRenderer* text)
    : width_(width), height_(height), bits_(bits), text_(text) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    Raise(kErrBadSurfaceSize, "A surface of " + SizeText(width, height) +
                                  " pixels cannot be made: each side must be 1 to " +
                                  std::to_string(kMaxSide) + " pixels");
  }
  if (!IsSupportedDepth(bits)) {
    Raise(kErrBadDisplayMode, "A surface of " + std::to_string(bits) +
                                  " bits per pixel cannot be made: the depth must be 16, 24 or "
                                  "32 bits");
  }
  pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

uint32_t Surface::MapColor(int32_t color) const {
  return PixelOf(bits_, PackedRed(color), PackedGreen(color), PackedBlue(color));
}

int32_t Surface::UnmapPixel(uint32_t pixel) const {
  const uint32_t rgb = RgbOf(bits_, pixel);
  return static_cast<int32_t>(((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16));
}

void Surface::Fill(const Rect& rect, uint32_t pixel) {
  const int32_t left = std::max(rect.left, 0);
  const int32_t top = std::max(rect.top, 0);
  const int32_t right = std::min(rect.right, width_);
  const int32_t bottom = std::min(rect.bottom, height_);
  if (left >= right || top >= bottom) return;
  // A value wider than the format keeps only the bits the format has.
  const uint32_t value = pixel & (bits_ == 16 ? 0xFFFFu : 0xFFFFFFu);
  for (int32_t y = top; y < bottom; ++y) {
    std::fill(Row(y) + left, Row(y) + right, value);
  }
}

void Surface::CopyArea(int32_t x, int32_t y, const Surface& source, const Rect& source_rect) {
  const Rect& r = source_rect;
  if (r.left >= r.right || r.top >= r.bottom) {
    Raise(kErrBadRect, "CopyArea: the source rectangle " +
                           RectText(r.left, r.top, r.right, r.bottom) + " is empty or inverted");
  }
  if (r.left < 0 || r.top < 0 || r.right > source.width_ || r.bottom > source.height_) {
    Raise(kErrBadRect, "CopyArea: the source rectangle " +
                           RectText(r.left, r.top, r.right, r.bottom) + " reaches outside the " +
                           SizeText(source.width_, source.height_) + " source surface");
  }
  const int64_t right = int64_t{x} + (r.right - r.left);
  const int64_t bottom = int64_t{y} + (r.bottom - r.top);
  if (x < 0 || y < 0 || right > width_ || bottom > height_) {
    Raise(kErrBadRect, "CopyArea: the destination rectangle " + RectText(x, y, right, bottom) +
                           " reaches outside the " + SizeText(width_, height_) + " surface");
  }
  if (&source == this) {
    // Rows of one surface may overlap: copy from a snapshot so that no row reads what it wrote.
    const Surface snapshot = source;  // NOLINT(performance-unnecessary-copy-initialization)
    CopyArea(x, y, snapshot, source_rect);
    return;
  }
  const uint32_t key = source.color_key_;
  const int32_t columns = r.right - r.left;
  const bool convert = !SameRepresentation(source.bits_, bits_);
  for (int32_t row = 0; row < r.bottom - r.top; ++row) {
    const uint32_t* from = source.Row(r.top + row) + r.left;
    uint32_t* to = Row(y + row) + x;
    if (convert) {
      for (int32_t i = 0; i < columns; ++i) {
        if (from[i] != key) to[i] = ConvertPixel(source.bits_, bits_, from[i]);
      }
    } else {
      // Written as a select so that the compiler can vectorise it.
      for (int32_t i = 0; i < columns; ++i) to[i] = from[i] != key ? from[i] : to[i];
    }
  }
}

void Surface::CopyFromBitmap(const Bitmap& bitmap) {
  if (bitmap.width < 0 || bitmap.height < 0 ||
      bitmap.pixels.size() <
          static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height)) {
    Raise(kErrBadArgument, "The bitmap of " + SizeText(bitmap.width, bitmap.height) +
                               " pixels holds only " + std::to_string(bitmap.pixels.size()) +
                               " pixels");
  }
  const int32_t columns = std::min(bitmap.width, width_);
  const int32_t rows = std::min(bitmap.height, height_);
  for (int32_t y = 0; y < rows; ++y) {
    const uint32_t* from = &bitmap.pixels[static_cast<size_t>(y) * bitmap.width];
    uint32_t* to = Row(y);
    for (int32_t x = 0; x < columns; ++x) {
      to[x] = PixelOf(bits_, (from[x] >> 16) & 0xFFu, (from[x] >> 8) & 0xFFu, from[x] & 0xFFu);
    }
  }
}

void Surface::DrawText(int32_t x, int32_t y, std::string_view text) {
  TextRendererOrRaise().Draw(*this, x, y, text, font_, fore_color_);
}

int32_t Surface::TextWidth(std::string_view text) const {
  return TextRendererOrRaise().Width(text, font_);
}

TextRenderer& Surface::TextRendererOrRaise() const {
  if (text_ == nullptr) {
    Raise(kErrText, "This surface cannot draw text: it was made without a text renderer");
  }
  return *text_;
}

}  // namespace kraylo
