#include "display/fps.h"

#include <string>

#include "support/numbers.h"

namespace kraylo {
namespace {

constexpr int16_t kFramesPerMeasurement = 30;
constexpr int32_t kWhite = 0xFFFFFF;

}  // namespace

void DrawFPS(FpsCounter& counter, DisplayState& display, Clock& clock, char decimal_separator,
             int32_t x, int32_t y) {
  bool count_frame = true;
  if (counter.FrameCount == kFramesPerMeasurement) {
    if (counter.LastFpsTime != 0) {
      const double now = clock.Seconds();
      if (now > counter.LastFpsTime) {
        counter.FPS = static_cast<float>(kFramesPerMeasurement / (now - counter.LastFpsTime));
      } else {
        // No time has passed since the last measurement: leave the counter due, so that the next
        // frame measures over a longer interval, instead of dividing by zero.
        count_frame = false;
      }
    }
    if (count_frame) {
      // The second reading, not the first, starts the next interval.
      counter.LastFpsTime = clock.Seconds();
      counter.FrameCount = 0;
    }
  }
  if (count_frame) counter.FrameCount = Add16(counter.FrameCount, 1);

  Surface& back = BackBuffer(display);
  const int32_t saved_color = back.GetForeColor();
  back.SetForeColor(kWhite);
  back.SetFont(LogFont());
  back.DrawText(x, y, "FPS: " + HashDotZeroForm(counter.FPS, decimal_separator));
  back.SetForeColor(saved_color);
}

}  // namespace kraylo
