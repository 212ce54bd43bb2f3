// The display's state: the full-screen pair, the sprite sheets and the frame-rate counter.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace kraylo {

// Created by CreateDDS and the frame loop's set-up; absent until then and after a failure.
struct DisplayState {
  std::unique_ptr<DisplayDevice> device;    // the monitor in the game's mode
  std::unique_ptr<PrimarySurface> primary;  // the flipping pair the monitor shows
  Surface* back_buffer = nullptr;           // owned by primary
  std::unique_ptr<Surface> ball_sheet;      // the sprite sheets, in the mode's depth
  std::unique_ptr<Surface> cursor_sheet;
  std::unique_ptr<Surface> button_sheet;
};

// Raises kErrNoSurface: the display is not set up (its set-up failed or has not run).
[[noreturn]] void RaiseDisplayNotSetUp();

// The part of the display `part` points at (display object, flipping pair, back buffer); raises
// as RaiseDisplayNotSetUp while it is absent.
template <typename Part>
Part& SetUpPart(Part* part) {
  if (part == nullptr) RaiseDisplayNotSetUp();
  return *part;
}

// The back buffer every frame is drawn into; raises while the display is not set up.
inline Surface& BackBuffer(const DisplayState& display) { return SetUpPart(display.back_buffer); }

// The frame-rate counter's state.
struct FpsCounter {
  int16_t FrameCount = 0;  // frames since the last measurement, 1 to 30
  double LastFpsTime = 0;  // monotonic seconds of the last measurement; 0: none yet
  float FPS = 0;           // the last measured frames per second
};

}  // namespace kraylo
