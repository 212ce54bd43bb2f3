// The window's picture, as each backend shows it: the desktop window with its controls, or the
// full-screen frames of the display. Internal to platform/.
#pragma once

#include <cstdint>

#include "platform/surface.h"

namespace kraylo {

class Screen {
 public:
  virtual ~Screen() = default;
  // Puts the window full screen on its monitor without changing the desktop's mode; frames of
  // width x height are scaled to the monitor with their aspect ratio kept, and mouse positions
  // arrive in frame pixels from then on. Raises kErrNoVideo when the window system refuses.
  virtual void EnterFullScreen(int32_t width, int32_t height) = 0;
  // The desktop window as it was, with its controls.
  virtual void LeaveFullScreen() = 0;
  // While frames are shown (after EnterFullScreen): from the monitor to a resizable desktop
  // window of the frame's size, frames letterboxed in it as they are on the monitor, or back.
  // Mouse positions stay in frame pixels. Raises kErrNoVideo when the window system refuses.
  virtual void ToggleWindowed() = 0;
  // Shows a full-screen frame; waits for the display's refresh where it has one (never by
  // spinning). Raises kErrPresent when the picture cannot be shown.
  virtual void PresentFrame(const Surface& frame) = 0;
};

}  // namespace kraylo
