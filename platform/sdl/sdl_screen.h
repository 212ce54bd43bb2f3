// How the SDL window shows pictures: its own controls on the desktop, 1:1, or the display's frames
// full screen or in a window of their own, scaled with the aspect ratio kept; and where the mouse
// is in those pictures.
#pragma once

#include <SDL.h>

#include <memory>

#include "platform/devices/screen.h"

namespace kraylo {

// How pictures reach the window: SDL's accelerated renderer with a streaming texture, or the
// window's own framebuffer filled by our scaled copy.
enum class PresentPath { kAuto, kRenderer, kWindowSurface };

class SdlScreen : public Screen {
 public:
  // Shows pictures in `window` (created and owned by the system). Chooses the presentation path
  // once: the accelerated renderer on a real GPU, the software framebuffer where GL would be a
  // software rasteriser. `path` forces one of the two (for measurements).
  explicit SdlScreen(SDL_Window* window, PresentPath path = PresentPath::kAuto);
  ~SdlScreen() override;

  void EnterFullScreen(int32_t width, int32_t height) override;
  void LeaveFullScreen() override;
  void ToggleWindowed() override;
  void PresentFrame(const Surface& frame) override;

  // Shows the desktop window's own picture (controls and border), 1:1.
  void PresentDesktop(const Surface& picture);
  // A mouse position in window coordinates as a position in the shown picture: frame pixels
  // while full screen (letterbox removed), window pixels on the desktop.
  void MapMouse(float window_x, float window_y, float& x, float& y) const;
  // Where the system pointer is in the shown frames (frame pixels); false before frames are shown
  // or while the pointer is off the window.
  bool PointerInFrame(float& x, float& y) const;
  // Whether frames are shown (full screen or, after ToggleWindowed, in a window of their own).
  bool IsFullScreen() const;
  // Whether the frames are in a desktop window of their own.
  bool IsWindowed() const;
  // The name of the presentation path chosen, for logs and benchmarks.
  const char* PathName() const;
  // Where there is no vertical sync, full-screen frames are paced to the display's refresh by
  // sleeping; benchmarks turn that off (on by default).
  void SetPacing(bool on);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kraylo
