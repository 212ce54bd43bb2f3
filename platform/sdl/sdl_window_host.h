// The window system under the window core on the real machine: SDL's event queue (the pads'
// events go to the pads), the desktop window's picture, the pointer and the error message box.
#pragma once

#include <SDL.h>

#include <array>
#include <optional>
#include <string_view>

#include "platform/desktop_form/desktop_text.h"
#include "platform/desktop_form/window_core.h"
#include "platform/sdl/sdl_pads.h"
#include "platform/sdl/sdl_screen.h"

namespace kraylo {

class SdlWindowHost : public WindowHost {
 public:
  // `window`, `screen`, `text` and `pads` must outlive the host.
  SdlWindowHost(SDL_Window* window, SdlScreen& screen, TextRenderer& text, SdlPads& pads);

  void CollectEvents(std::deque<InputEvent>& queue) override;
  bool Wait(double seconds, bool idle) override;
  bool IsFullScreen() const override { return screen_.IsFullScreen(); }
  void ToggleFullScreen() override;
  std::optional<PicturePoint> SystemPointer() const override;
  void ShowWindow() override;
  void Paint(const Form& form) override;
  void ApplyCursor(bool shown) override;
  void ReportError(const std::string& report) override;
  std::string ClipboardText() override;
  void AcceptText(bool accept) override;
  void GiveDesktopBack() override;

  // The width of a row of the log box in its font (pixels).
  int32_t MeasureLogRow(std::string_view text) { return text_.Measure(text, LogFont()); }

 private:
  void LeaveFullScreen();

  SDL_Window* window_;
  Uint32 window_id_;
  SdlScreen& screen_;
  DesktopText text_;
  SdlPads& pads_;
  Surface picture_;       // the client area, FormLayout::kWidth x kHeight
  Uint64 pump_interval_;  // performance-counter ticks between two looks at the X queue
  Uint64 last_pump_ = 0;
  bool paint_failure_reported_ = false;
  std::array<SDL_Event, 64> batch_{};
};

}  // namespace kraylo
