// Mouse positions in a window showing a scaled frame between black bars, mapped back to frame
// pixels.
#include "platform/graphics/letterbox.h"

#include <gtest/gtest.h>

namespace kraylo {
namespace {

TEST(Letterbox, AClickOnAFramePixelArrivesAsThatPixelWithBarsOnEitherAxis) {
  const struct {
    int32_t window_w, window_h;
    Letterbox box;
  } windows[] = {
      {800, 600, {0, 0, 800, 600}},       // the frame's own size
      {1280, 720, {160, 0, 960, 720}},    // bars left and right
      {1281, 720, {160, 0, 960, 720}},    // the odd spare pixel goes right
      {1080, 1920, {0, 555, 1080, 810}},  // bars above and below
  };
  for (const auto& w : windows) {
    const Letterbox box = FitFrame(800, 600, w.window_w, w.window_h);
    EXPECT_EQ(box, w.box) << w.window_w << "x" << w.window_h;
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{799, 599}, std::pair{1, 457}}) {
      // The first window pixel, along each axis, that shows frame pixel (x, y).
      const int32_t wx = box.x + (x * box.width + 799) / 800;
      const int32_t wy = box.y + (y * box.height + 599) / 600;
      EXPECT_EQ(FramePixelAt(static_cast<float>(wx), box.x, box.width, 800), x) << wx;
      EXPECT_EQ(FramePixelAt(static_cast<float>(wy), box.y, box.height, 600), y) << wy;
    }
    // Clicks on the bars give the nearest edge pixel.
    EXPECT_EQ(FramePixelAt(-1, box.x, box.width, 800), 0);
    EXPECT_EQ(FramePixelAt(static_cast<float>(w.window_h), box.y, box.height, 600), 599);
  }
  EXPECT_EQ(FitFrame(800, 600, 1280, 0), Letterbox{}) << "a window without area";
  EXPECT_EQ(FramePixelAt(50, 0, 0, 800), 0);
}

}  // namespace
}  // namespace kraylo
