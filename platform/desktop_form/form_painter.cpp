#include "platform/desktop_form/form_painter.h"

#include <algorithm>
#include <string_view>

namespace kraylo {
namespace {

using C = FormColors;
using Layout = LogBoxLayout;

// Draws on one picture in packed colours.
class Pen {
 public:
  explicit Pen(Surface& picture) : picture_(picture) {}

  void Fill(const Rect& rect, int32_t color) { picture_.Fill(rect, picture_.MapColor(color)); }
  void Frame(const Rect& rect, int32_t color) {
    Fill({rect.left, rect.top, rect.right, rect.top + 1}, color);
    Fill({rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    Fill({rect.left, rect.top, rect.left + 1, rect.bottom}, color);
    Fill({rect.right - 1, rect.top, rect.right, rect.bottom}, color);
  }
  // A 1-pixel edge: `top_left` along the top and left sides, `bottom_right` along the others.
  void Edge(const Rect& rect, int32_t top_left, int32_t bottom_right) {
    Fill({rect.left, rect.top, rect.right - 1, rect.top + 1}, top_left);
    Fill({rect.left, rect.top, rect.left + 1, rect.bottom - 1}, top_left);
    Fill({rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottom_right);
    Fill({rect.right - 1, rect.top, rect.right, rect.bottom}, bottom_right);
  }
  void Raised(const Rect& rect) {
    Fill(rect, C::kFace);
    Edge(rect, C::kHighlight, C::kDarkShadow);
    Edge(Inset(rect, 1), C::kFace, C::kShadow);
  }
  void Sunken(const Rect& rect) {
    Edge(rect, C::kShadow, C::kHighlight);
    Edge(Inset(rect, 1), C::kDarkShadow, C::kFace);
  }
  // Every other pixel of a frame, as focus rectangles are drawn.
  void DottedFrame(const Rect& rect, int32_t color) {
    const uint32_t pixel = picture_.MapColor(color);
    for (int32_t x = rect.left; x < rect.right; x += 2) {
      picture_.SetPixel(x, rect.top, pixel);
      picture_.SetPixel(x, rect.bottom - 1, pixel);
    }
    for (int32_t y = rect.top; y < rect.bottom; y += 2) {
      picture_.SetPixel(rect.left, y, pixel);
      picture_.SetPixel(rect.right - 1, y, pixel);
    }
  }
  // A small solid triangle pointing up or down, centred in `rect`.
  void Arrow(const Rect& rect, bool up, int32_t color) {
    constexpr int32_t kRows = 4;
    const int32_t middle = (rect.left + rect.right) / 2;
    const int32_t top = (rect.top + rect.bottom - kRows) / 2;
    for (int32_t row = 0; row < kRows; ++row) {
      const int32_t half = up ? row : kRows - 1 - row;
      Fill({middle - half, top + row, middle + half + 1, top + row + 1}, color);
    }
  }
  // The classic scroll-bar track: white and face pixels in a checkerboard.
  void Track(const Rect& rect) {
    const uint32_t light = picture_.MapColor(C::kHighlight);
    const uint32_t face = picture_.MapColor(C::kFace);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
      for (int32_t x = rect.left; x < rect.right; ++x) {
        picture_.SetPixel(x, y, (x + y) % 2 == 0 ? light : face);
      }
    }
  }
  static Rect Inset(const Rect& rect, int32_t by) {
    return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
  }

 private:
  Surface& picture_;
};

void PaintScrollBar(Pen& pen, const LogBox& log) {
  const Rect thumb = log.Thumb();
  const bool scrolls = thumb.bottom != 0;
  pen.Track(
      {Layout::kBar.left, Layout::kUpArrow.bottom, Layout::kBar.right, Layout::kDownArrow.top});
  pen.Raised(Layout::kUpArrow);
  pen.Raised(Layout::kDownArrow);
  const int32_t arrow = scrolls ? C::kText : C::kInert;
  pen.Arrow(Layout::kUpArrow, true, arrow);
  pen.Arrow(Layout::kDownArrow, false, arrow);
  if (scrolls) pen.Raised(thumb);
}

void PaintLog(Pen& pen, Surface& picture, const LogBox& log, DesktopText& text) {
  pen.Sunken(Layout::kBox);
  pen.Fill(Pen::Inset(Layout::kBox, Layout::kEdge), C::kLogBackground);
  const auto& rows = log.rows();
  const int last = std::min(static_cast<int>(rows.size()), log.top_row() + Layout::kVisibleRows);
  for (int row = log.top_row(); row < last; ++row) {
    const int32_t y = Layout::kText.top + (row - log.top_row()) * Layout::kRowHeight;
    text.Draw(picture, Layout::kText, Layout::kText.left, y, rows[row], LogFont(), C::kText);
  }
  PaintScrollBar(pen, log);
}

void PaintExit(Pen& pen, Surface& picture, const Form& form, DesktopText& text) {
  static constexpr std::string_view kCaption = "Exit";
  const Rect& place = FormLayout::kExit;
  const bool focused = form.focus() == Control::kExit;
  const bool pushed = form.exit_pushed();
  // The focused button wears a black outline, as the default button of a dialog does.
  const Rect face = focused ? Pen::Inset(place, 1) : place;
  if (pushed) {
    pen.Fill(face, C::kFace);
    pen.Frame(face, C::kShadow);
  } else {
    pen.Raised(face);
  }
  if (focused) pen.Frame(place, C::kText);
  const int32_t width = text.Measure(kCaption, LogFont());
  const int32_t shift = pushed ? 1 : 0;
  const int32_t x = place.left + (place.right - place.left - width) / 2 + shift;
  const int32_t y = place.top + (place.bottom - place.top - Layout::kRowHeight) / 2 + shift;
  text.Draw(picture, Pen::Inset(place, 2), x, y, kCaption, LogFont(), C::kText);
  if (focused) pen.DottedFrame(Pen::Inset(place, 4), C::kText);
}

}  // namespace

void PaintForm(const Form& form, Surface& picture, DesktopText& text) {
  Pen pen(picture);
  pen.Fill({0, 0, FormLayout::kWidth, FormLayout::kHeight}, C::kFace);
  if (form.IsVisible(Control::kLog)) PaintLog(pen, picture, form.log(), text);
  if (form.IsVisible(Control::kExit)) PaintExit(pen, picture, form, text);
  pen.Frame({0, 0, FormLayout::kWidth, FormLayout::kHeight}, FormLayout::kBorderColor);
}

}  // namespace kraylo
