// The display's state: the full-screen pair, the sprite sheets and the frame-rate counter.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace kraylo {

// Created by CreateDDS and the frame loop's set-up; absent until then and after a failure.
struct DisplayState {
  std::unique_ptr<DisplayDevice> dd;
  std::unique_ptr<PrimarySurface> ddsPrimary;
  Surface* ddsBack = nullptr;  // owned by ddsPrimary
  std::unique_ptr<Surface> ddsBalls;
  std::unique_ptr<Surface> ddsCursor;
  std::unique_ptr<Surface> ddsButtons;
};

// The frame-rate counter's state.
struct FpsCounter {
  int16_t FrameCount = 0;  // frames since the last measurement, 1 to 30
  double LastFpsTime = 0;  // monotonic seconds of the last measurement; 0: none yet
  float FPS = 0;           // the last measured frames per second
};

}  // namespace kraylo
