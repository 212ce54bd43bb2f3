#include "platform/desktop_form/log_box.h"

#include <algorithm>
#include <cmath>

namespace kraylo {
namespace {

using Layout = LogBoxLayout;

constexpr int32_t kTextWidth = Layout::kText.right - Layout::kText.left;
constexpr int32_t kTrackTop = Layout::kUpArrow.bottom;
constexpr int32_t kTrackLength = Layout::kDownArrow.top - Layout::kUpArrow.bottom;

bool IsCharStart(std::string_view text, size_t at) {
  return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0u) != 0x80u;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

}  // namespace

bool Contains(const Rect& rect, float x, float y) {
  return x >= static_cast<float>(rect.left) && x < static_cast<float>(rect.right) &&
         y >= static_cast<float>(rect.top) && y < static_cast<float>(rect.bottom);
}

LogBox::LogBox(TextMeasure measure) : measure_(std::move(measure)) {}

void LogBox::SetText(std::string text) {
  text_ = std::move(text);
  Wrap();
  top_row_ = MaxTopRow();
}

int LogBox::MaxTopRow() const {
  return std::max(0, static_cast<int>(rows_.size()) - Layout::kVisibleRows);
}

bool LogBox::ScrollBy(int rows) { return ScrollTo(top_row_ + rows); }

bool LogBox::ScrollTo(int row) {
  const int clamped = std::clamp(row, 0, MaxTopRow());
  const bool moved = clamped != top_row_;
  top_row_ = clamped;
  return moved;
}

Rect LogBox::Thumb() const {
  const int max_top = MaxTopRow();
  if (max_top == 0) return {};
  const auto total = static_cast<int32_t>(rows_.size());
  const int32_t height = std::max(Layout::kMinThumb, kTrackLength * Layout::kVisibleRows / total);
  const int32_t top = kTrackTop + (kTrackLength - height) * top_row_ / max_top;
  return {Layout::kBar.left, top, Layout::kBar.right, top + height};
}

LogBox::BarPart LogBox::PartAt(float x, float y) const {
  if (!Contains(Layout::kBar, x, y)) return BarPart::kNone;
  if (Contains(Layout::kUpArrow, x, y)) return BarPart::kUpArrow;
  if (Contains(Layout::kDownArrow, x, y)) return BarPart::kDownArrow;
  const Rect thumb = Thumb();
  // With the whole text in view the track is inert.
  if (thumb.bottom == 0) return BarPart::kNone;
  if (y < static_cast<float>(thumb.top)) return BarPart::kPageUp;
  if (y >= static_cast<float>(thumb.bottom)) return BarPart::kPageDown;
  return BarPart::kThumb;
}

bool LogBox::PressBar(float x, float y) {
  switch (PartAt(x, y)) {
    case BarPart::kUpArrow:
      return ScrollBy(-1);
    case BarPart::kDownArrow:
      return ScrollBy(1);
    case BarPart::kPageUp:
      return ScrollBy(-Layout::kVisibleRows);
    case BarPart::kPageDown:
      return ScrollBy(Layout::kVisibleRows);
    case BarPart::kThumb:
      dragging_ = true;
      drag_offset_ = y - static_cast<float>(Thumb().top);
      return false;
    case BarPart::kNone:
      break;
  }
  return false;
}

bool LogBox::DragTo(float y) {
  if (!dragging_) return false;
  const Rect thumb = Thumb();
  const int32_t free_length = kTrackLength - (thumb.bottom - thumb.top);
  if (free_length <= 0) return false;
  const float thumb_top = y - drag_offset_ - static_cast<float>(kTrackTop);
  const float row = thumb_top * static_cast<float>(MaxTopRow()) / static_cast<float>(free_length);
  return ScrollTo(static_cast<int>(std::lround(row)));
}

void LogBox::Wrap() {
  rows_.clear();
  std::string_view rest = text_;
  while (true) {
    const size_t end = rest.find_first_of("\r\n");
    BreakLine(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crlf ? 2 : 1));
  }
}

void LogBox::BreakLine(std::string_view line) {
  while (measure_(line) > kTextWidth) {
    // A row never holds more characters than the text area has pixels, which bounds the
    // measuring of very long lines.
    const size_t limit = std::min(line.size(), static_cast<size_t>(kTextWidth));
    size_t cut = 0;
    for (size_t blank = line.find(' '); blank != std::string_view::npos && blank <= limit;
         blank = line.find(' ', blank + 1)) {
      if (blank > 0 && measure_(line.substr(0, blank)) > kTextWidth) break;
      cut = blank;
    }
    if (cut == 0) {
      // One word wider than the box: break it between characters, as many as fit (at least one).
      std::vector<size_t> ends;
      for (size_t at = 1; at <= limit; ++at) {
        if (IsCharStart(line, at)) ends.push_back(at);
      }
      cut = ends.empty() ? line.size() : ends.front();
      auto fits = std::partition_point(ends.begin(), ends.end(), [&](size_t length) {
        return measure_(line.substr(0, length)) <= kTextWidth;
      });
      if (fits != ends.begin()) cut = *(fits - 1);
    }
    rows_.emplace_back(line.substr(0, cut));
    line = TrimLeadingBlanks(line.substr(cut));
    if (line.empty()) return;
  }
  rows_.emplace_back(line);
}

}  // namespace kraylo
