// A picture in memory: the back buffer, the sprite sheets and every other surface the program
// draws into. Pure C++; the backends only show a surface or fill one from a bitmap file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kraylo {

// A rectangle in pixels; right and bottom are exclusive.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// A font as a control carries it: face, size in points at 96 dpi, weight.
struct Font {
  std::string face;
  int points = 0;
  bool bold = false;
  friend bool operator==(const Font&, const Font&) = default;
};

// A decoded bitmap file at its own size, 0xAARRGGBB pixels row by row (top row first).
struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

class Surface;

// Draws text onto a surface; the backends provide it (fonts come from the platform).
class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Draws `text` with its top-left corner at (x, y) in `font` and `color` (packed
  // red + 256 * green + 65536 * blue), clipped to the target; the black around the letters is
  // left as it was. Raises kErrText when the text cannot be rendered.
  virtual void Draw(Surface& target, int32_t x, int32_t y, std::string_view text, const Font& font,
                    int32_t color) = 0;
  // The width `text` takes in `font` (pixels): its widest line's advance. Raises kErrText when the
  // font cannot be had.
  virtual int32_t Width(std::string_view text, const Font& font) = 0;
};

// Bits per pixel a surface may have: 16 is RGB565, 24 and 32 are 8 bits per channel.
bool IsSupportedDepth(int32_t bits);

class Surface {
 public:
  // A black surface; raises kErrBadSurfaceSize for dimensions below 1 or above kMaxSide and
  // kErrBadDisplayMode for an unsupported depth.
  Surface(int32_t width, int32_t height, int32_t bits, TextRenderer* text);

  static constexpr int32_t kMaxSide = 16384;  // pixels; what a renderer texture can hold

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t bits() const { return bits_; }

  // The pixel value of a packed colour (red + 256 * green + 65536 * blue) in this format.
  uint32_t MapColor(int32_t color) const;
  // The packed colour of a pixel value of this format (the inverse of MapColor, to format
  // precision).
  int32_t UnmapPixel(uint32_t pixel) const;

  // Fills `rect`, clipped to the surface, with a pixel value.
  void Fill(const Rect& rect, uint32_t pixel);
  // Copies `source_rect` of `source` with its top-left at (x, y), skipping source pixels equal
  // to the source's colour key. Never clips: a rectangle not wholly inside either surface raises
  // kErrBadRect and nothing is drawn.
  void CopyArea(int32_t x, int32_t y, const Surface& source, const Rect& source_rect);
  // Source colour key: pixel values skipped when this surface is copied with CopyArea.
  void SetColorKey(uint32_t pixel) { color_key_ = pixel; }
  uint32_t color_key() const { return color_key_; }
  // Copies a bitmap one to one from (0, 0), converted to this format; the part outside the
  // surface is left out.
  void CopyFromBitmap(const Bitmap& bitmap);

  // Text state and drawing, as the program's screens use them.
  void SetForeColor(int32_t color) { fore_color_ = color; }
  int32_t GetForeColor() const { return fore_color_; }
  void SetFont(const Font& font) { font_ = font; }
  const Font& font() const { return font_; }
  // Draws text at (x, y) in the current fore colour and font; raises kErrText when the surface
  // has no text renderer.
  void DrawText(int32_t x, int32_t y, std::string_view text);
  // The width of `text` in the current font (pixels), for text placed by its middle; raises
  // kErrText as DrawText does.
  int32_t TextWidth(std::string_view text) const;

  uint32_t Pixel(int32_t x, int32_t y) const { return pixels_[Index(x, y)]; }
  void SetPixel(int32_t x, int32_t y, uint32_t pixel) { pixels_[Index(x, y)] = pixel; }
  const uint32_t* Row(int32_t y) const { return &pixels_[Index(0, y)]; }
  uint32_t* Row(int32_t y) { return &pixels_[Index(0, y)]; }

 private:
  TextRenderer& TextRendererOrRaise() const;
  size_t Index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  }

  int32_t width_;
  int32_t height_;
  int32_t bits_;
  TextRenderer* text_;
  std::vector<uint32_t> pixels_;  // one pixel value per element, in this surface's format
  uint32_t color_key_ = 0;
  int32_t fore_color_ = 0;
  Font font_;
};

}  // namespace kraylo
