// Shared by the display tests: pictures looked at, and a headless machine with a scratch program
// folder and the display set up.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "display/display_state.h"
#include "display/full_screen.h"
#include "platform/headless/headless_system.h"
#include "tests/support/test_helpers.h"

namespace kraylo {

inline constexpr WindowHandle kMainWindow = 1;

inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A sheet of `width` x `height` in `bits` whose every pixel is `pixel`, colour key 0.
inline std::unique_ptr<Surface> SolidSheet(int32_t width, int32_t height, int32_t bits,
                                           uint32_t pixel) {
  auto sheet = std::make_unique<Surface>(width, height, bits, nullptr);
  sheet->Fill(Rect{0, 0, width, height}, pixel);
  return sheet;
}

// The bounding box of the pixels that are not `background`; all zero when there are none.
inline Rect LitArea(const Surface& surface, uint32_t background = 0) {
  Rect area{INT32_MAX, INT32_MAX, -1, -1};
  for (int32_t y = 0; y < surface.height(); ++y) {
    for (int32_t x = 0; x < surface.width(); ++x) {
      if (surface.Pixel(x, y) == background) continue;
      area = {std::min(area.left, x), std::min(area.top, y), std::max(area.right, x + 1),
              std::max(area.bottom, y + 1)};
    }
  }
  return area.right < 0 ? Rect{} : area;
}

class DisplayTest : public ::testing::Test {
 protected:
  // Sets up a full-screen mode; fails the test when that does not succeed.
  void EnterMode(int32_t width, int32_t height, int32_t bits) {
    SetUpFullScreenDisplay(system_, display_, kMainWindow, width, height, bits);
    ASSERT_NE(display_.back_buffer, nullptr) << system_.window().LogText();
  }

  // Copies a sprite sheet of the source tree into the program folder.
  void InstallSheet(const std::string& name) {
    std::filesystem::create_directories(folder_.path() + "/dorvane/graph");
    std::filesystem::copy_file(std::string(KRAYLO_SOURCE_DIR) + "/dorvane/graph/" + name,
                               folder_.path() + "/dorvane/graph/" + name);
  }

  TempFolder folder_;
  HeadlessSystem system_{folder_.path()};
  DisplayState display_;
};

}  // namespace kraylo
