// The frame-rate counter: nothing measured for 60 frames, then a rate every 30 frames from the
// monotonic clock, in the locale's decimal form, drawn in white.
#include "display/fps.h"

#include "tests/display/display_fixture.h"

namespace kraylo {
namespace {

class FrameRate : public DisplayTest {
 protected:
  void SetUp() override { EnterMode(800, 600, 32); }

  // Runs `frames` frames with the monotonic clock advancing `seconds` before each (the calendar
  // time stands still); the last text drawn.
  std::string Run(int frames, double seconds, char separator = '.') {
    for (int i = 0; i < frames; ++i) {
      system_.AdvanceClock(seconds);
      DrawFPS(counter_, display_, system_.clock(), separator, 10, 10);
      display_.primary->Flip();
    }
    return system_.TextsOfLastFrame().back().text;
  }

  FpsCounter counter_;
};

TEST_F(FrameRate, ShowsNothingMeasuredForSixtyFramesThenTheRateEveryThirty) {
  display_.back_buffer->SetForeColor(0x00C000);
  for (int frame = 1; frame <= 60; ++frame) ASSERT_EQ(Run(1, 1.0 / 60), "FPS: .0") << frame;
  EXPECT_EQ(Run(1, 1.0 / 60), "FPS: 60.0") << "frame 61";
  EXPECT_EQ(Run(29, 1.0 / 100), "FPS: 60.0") << "frames 62 to 90 keep the value";
  EXPECT_EQ(Run(1, 1.0 / 100), "FPS: 100.0") << "frame 91";
  EXPECT_EQ(Run(30, 1.0 / 59.94, ','), "FPS: 59,9") << "one decimal, the locale's separator";
  const TextDraw& text = system_.TextsOfLastFrame().at(0);
  EXPECT_EQ(text.color, 0xFFFFFF);
  EXPECT_EQ(text.font, LogFont());
  EXPECT_EQ(text.x + text.y, 20);
  EXPECT_EQ(display_.back_buffer->GetForeColor(), 0x00C000) << "the fore colour is put back";
}

TEST_F(FrameRate, SkipsAMeasurementWhenNoTimeHasPassed) {
  Run(31, 1.0 / 60);
  EXPECT_EQ(Run(30, 0), "FPS: .0") << "frame 61 draws the old value instead of dividing by 0";
  EXPECT_EQ(counter_.FrameCount, 30) << "the measurement is still due";
  EXPECT_EQ(Run(1, 0.5), "FPS: 60.0") << "frame 62 measures over the longer interval";
  EXPECT_EQ(counter_.FrameCount, 1);
}

}  // namespace
}  // namespace kraylo
