// A short note at the field's top right, clear of whatever the screen under it shows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/platform.h"

namespace kraylo {

// The area `text` takes drawn at (x, y) in `font`: its advance wide, the font's size high
// (pixels, at the 96 dots an inch the text renderer draws at). Leaves `back` in `font`.
Rect TextArea(Surface& back, const Font& font, int32_t x, int32_t y, std::string_view text);

// Where a note of `width` x `height` goes in a field `field_width` x `field_height`: at the
// right edge, in the highest row where it touches none of `taken` (pixels); none when no row is
// free, for a note is never worth hiding a part of the screen.
std::optional<Rect> NotePlace(int32_t field_width, int32_t field_height, int32_t width,
                              int32_t height, std::span<const Rect> taken);

// Draws `note` in the log's font, bright green with no box, where NotePlace puts it; changes
// `back`'s fore colour and font.
void DrawCornerNote(Surface& back, int32_t field_width, int32_t field_height, std::string_view note,
                    std::span<const Rect> taken);

}  // namespace kraylo
