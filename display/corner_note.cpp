#include "display/corner_note.h"

#include <algorithm>

namespace kraylo {
namespace {

constexpr int32_t kNoteColor = 0x00FF00;  // bright green, packed RGB
constexpr int32_t kEdge = 10;      // from the field's top and right edges, as the FPS counter
constexpr int32_t kClearance = 2;  // free pixels kept around the note

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

Rect TextArea(Surface& back, const Font& font, int32_t x, int32_t y, std::string_view text) {
  back.SetFont(font);
  return {x, y, x + back.TextWidth(text), y + font.points * 4 / 3};
}

std::optional<Rect> NotePlace(int32_t field_width, int32_t field_height, int32_t width,
                              int32_t height, std::span<const Rect> taken) {
  const int32_t left = field_width - kEdge - width;
  for (int32_t top = kEdge; top + height + kEdge <= field_height; ++top) {
    const Rect with_clearance{left - kClearance, top - kClearance, left + width + kClearance,
                              top + height + kClearance};
    if (std::none_of(taken.begin(), taken.end(),
                     [&](const Rect& area) { return Overlap(area, with_clearance); })) {
      return Rect{left, top, left + width, top + height};
    }
  }
  return std::nullopt;
}

void DrawCornerNote(Surface& back, int32_t field_width, int32_t field_height, std::string_view note,
                    std::span<const Rect> taken) {
  const Rect area = TextArea(back, LogFont(), 0, 0, note);
  if (const std::optional<Rect> place =
          NotePlace(field_width, field_height, area.right, area.bottom, taken)) {
    back.SetForeColor(kNoteColor);
    back.DrawText(place->left, place->top, note);
  }
}

}  // namespace kraylo
