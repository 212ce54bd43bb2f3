#include "display/timeline_bar.h"

#include <algorithm>
#include <cmath>

#include "platform/platform.h"

namespace kraylo {
namespace {

// Pixels. The track runs along the bottom, far enough from the field's edges for the whole pointer
// (30 x 30, drawn only when it fits) to show at its ends; the band a click seeks in holds it, the
// text above it and the field below it.
constexpr int32_t kSideMargin = 32;
constexpr int32_t kTrackBottomMargin = 36;
constexpr int32_t kTrackHeight = 6;
constexpr int32_t kBandHeight = 70;
constexpr int32_t kMarkerWidth = 4;
constexpr int32_t kMarkerReach = 5;  // above and below the track
constexpr int32_t kGameMarkWidth = 2;
constexpr int32_t kGameMarkReach = 3;
constexpr int32_t kLabelAbove = 22;  // from the track's top to the text's top
constexpr int32_t kLabelMargin = 4;  // black around the text

// Packed RGB.
constexpr int32_t kTrackColor = 0x464646;
constexpr int32_t kPlayedColor = 20 + 256 * 255 + 65536 * 20;  // the overlay's green
constexpr int32_t kGameMarkColor = 0x00C8FF;                   // amber
constexpr int32_t kMarkerColor = 0xFFFFFF;
constexpr int32_t kLabelColor = 0xDCDCDC;

// The x of place `place` (0 to 1) on `track`.
int32_t XOf(const Rect& track, double place) {
  const double clamped = std::clamp(place, 0.0, 1.0);
  return track.left + static_cast<int32_t>(std::lround(clamped * (track.right - track.left)));
}

}  // namespace

Rect TimelineTrack(int32_t width, int32_t height) {
  const int32_t bottom = height - kTrackBottomMargin;
  return {kSideMargin, bottom - kTrackHeight, std::max(kSideMargin, width - kSideMargin), bottom};
}

std::optional<double> TimelinePlaceAt(int32_t width, int32_t height, int32_t x, int32_t y) {
  const Rect track = TimelineTrack(width, height);
  if (y < height - kBandHeight || y >= height || x < 0 || x >= width) return std::nullopt;
  if (track.right == track.left) return 0.0;
  return std::clamp(static_cast<double>(x - track.left) / (track.right - track.left), 0.0, 1.0);
}

void DrawTimelineBar(Surface& back, int32_t width, int32_t height, const TimelineBar& bar) {
  const Rect track = TimelineTrack(width, height);
  const int32_t shown = XOf(track, bar.shown);
  back.Fill(track, back.MapColor(kTrackColor));
  back.Fill({track.left, track.top, shown, track.bottom}, back.MapColor(kPlayedColor));
  for (const double start : bar.game_starts) {
    const int32_t x = XOf(track, start);
    back.Fill({x - kGameMarkWidth / 2, track.top - kGameMarkReach, x + kGameMarkWidth / 2,
               track.bottom + kGameMarkReach},
              back.MapColor(kGameMarkColor));
  }
  back.Fill({shown - kMarkerWidth / 2, track.top - kMarkerReach, shown + kMarkerWidth / 2,
             track.bottom + kMarkerReach},
            back.MapColor(kMarkerColor));
  if (bar.label.empty()) return;
  back.SetFont(LogFont());
  back.SetForeColor(kLabelColor);
  const int32_t top = track.top - kLabelAbove;
  // On black, so that a ball under the text does not make it hard to read.
  back.Fill({track.left - kLabelMargin, top - kLabelMargin,
             track.left + back.TextWidth(bar.label) + kLabelMargin, track.top - kMarkerReach - 1},
            0);
  back.DrawText(track.left, top, bar.label);
}

}  // namespace kraylo
