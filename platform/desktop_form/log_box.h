// The on-screen log box txtDebug as a model: its text, the rows the text is broken into, the
// rows in view and the parts of its vertical scroll bar. No drawing here; the painter reads it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.h"

namespace kraylo {

// The width in pixels of one row of text in the log's font.
using TextMeasure = std::function<int32_t(std::string_view text)>;

// Where the log box and its parts sit in the window's client area (pixels).
struct LogBoxLayout {
  static constexpr Rect kBox{8, 8, 408, 297};  // the whole control, edges included
  static constexpr int32_t kEdge = 2;          // the sunken 3D edge
  static constexpr int32_t kBarWidth = 16;     // the vertical scroll bar
  static constexpr int32_t kArrowHeight = 16;  // each arrow button of the bar
  static constexpr int32_t kMinThumb = 8;      // the shortest thumb
  static constexpr int32_t kRowHeight = 14;    // one row of text
  // The area the rows are drawn in.
  static constexpr Rect kText{kBox.left + kEdge + 3, kBox.top + kEdge + 1,
                              kBox.right - kEdge - kBarWidth - 2, kBox.bottom - kEdge};
  static constexpr Rect kBar{kBox.right - kEdge - kBarWidth, kBox.top + kEdge, kBox.right - kEdge,
                             kBox.bottom - kEdge};
  static constexpr Rect kUpArrow{kBar.left, kBar.top, kBar.right, kBar.top + kArrowHeight};
  static constexpr Rect kDownArrow{kBar.left, kBar.bottom - kArrowHeight, kBar.right, kBar.bottom};
  // The rows in view at once.
  static constexpr int kVisibleRows = (kText.bottom - kText.top) / kRowHeight;
};

// Whether (x, y) lies inside `rect` (right and bottom exclusive).
bool Contains(const Rect& rect, float x, float y);

class LogBox {
 public:
  // The parts of the scroll bar a press can hit.
  enum class BarPart { kNone, kUpArrow, kDownArrow, kPageUp, kPageDown, kThumb };

  // `measure` gives row widths; rows wider than the text area are broken at blanks.
  explicit LogBox(TextMeasure measure);

  const std::string& text() const { return text_; }
  // Replaces the text and brings its last row into view.
  void SetText(std::string text);
  // The text broken into rows: at line ends (CR LF, LF or CR) and where a line is too wide.
  const std::vector<std::string>& rows() const { return rows_; }
  // The first row in view, 0 to MaxTopRow().
  int top_row() const { return top_row_; }
  int MaxTopRow() const;

  // Scrolls by `rows` (negative: up), within the text; true when the view moved.
  bool ScrollBy(int rows);
  // Scrolls so that `row` is the first in view, within the text; true when the view moved.
  bool ScrollTo(int row);

  // The scroll bar's thumb; empty (all zero) when the whole text is in view.
  Rect Thumb() const;
  // The part of the scroll bar at (x, y).
  BarPart PartAt(float x, float y) const;
  // A left press on the scroll bar: arrows scroll a row, the track a page, the thumb starts a
  // drag; true when the view moved.
  bool PressBar(float x, float y);
  // While a drag of the thumb goes on: follows the pointer's y; true when the view moved.
  bool DragTo(float y);
  bool dragging() const { return dragging_; }
  void EndDrag() { dragging_ = false; }

 private:
  void Wrap();
  void BreakLine(std::string_view line);

  TextMeasure measure_;
  std::string text_;
  std::vector<std::string> rows_{std::string()};
  int top_row_ = 0;
  bool dragging_ = false;
  float drag_offset_ = 0;  // pixels between the thumb's top and the pointer when the drag began
};

}  // namespace kraylo
