// The timeline bar of a replay: where the shown tick lies among the recorded games, across the
// bottom of the field, with a line of text above its left end; a click on it seeks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace kraylo {

struct TimelineBar {
  double shown = 0;                 // 0 to 1: the shown tick's place on the timeline
  std::vector<double> game_starts;  // 0 to 1: where each game after the first begins
  std::string label;                // the time, paused or not, the speed
};

// The bar's track in a field of width x height pixels.
Rect TimelineTrack(int32_t width, int32_t height);
// The place on the timeline (0 to 1) that a click at (x, y) of the field points at: anywhere on
// the band of the bar and its line of text, its ends reaching past the track's; none elsewhere.
std::optional<double> TimelinePlaceAt(int32_t width, int32_t height, int32_t x, int32_t y);
// Draws `bar` at the bottom of a field of width x height pixels at the top left of `back`, over
// what is there. Changes `back`'s fore colour and font.
void DrawTimelineBar(Surface& back, int32_t width, int32_t height, const TimelineBar& bar);

}  // namespace kraylo
