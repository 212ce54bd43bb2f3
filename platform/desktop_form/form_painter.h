// The desktop window's picture: the border, the log box with its rows and scroll bar, and the
// Exit button, drawn as the form model has them.
#pragma once

#include "platform/desktop_form/desktop_text.h"
#include "platform/desktop_form/form.h"
#include "platform/surface.h"

namespace kraylo {

// A packed colour: red + 256 * green + 65536 * blue.
constexpr int32_t Rgb(int32_t red, int32_t green, int32_t blue) {
  return red + 256 * green + 65536 * blue;
}

// Colours of the desktop window.
struct FormColors {
  static constexpr int32_t kFace = Rgb(236, 233, 216);  // window and button faces
  static constexpr int32_t kHighlight = Rgb(255, 255, 255);
  static constexpr int32_t kShadow = Rgb(128, 128, 128);
  static constexpr int32_t kDarkShadow = Rgb(64, 64, 64);
  static constexpr int32_t kInert = Rgb(160, 160, 160);  // arrows of a bar with nothing to scroll
  static constexpr int32_t kText = Rgb(0, 0, 0);
  static constexpr int32_t kLogBackground = Rgb(255, 255, 255);
};

// Paints the whole client area of `form` into `picture` (FormLayout::kWidth x kHeight pixels).
void PaintForm(const Form& form, Surface& picture, DesktopText& text);

}  // namespace kraylo
