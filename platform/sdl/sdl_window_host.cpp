#include "platform/sdl/sdl_window_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/desktop_form/form_painter.h"
#include "platform/sdl/sdl_events.h"

namespace kraylo {
namespace {

// Start-up yields 6001 times in a row; asking the X server for events on every one of them
// would cost more than all the rest, and a millisecond is far below anything a person notices.
constexpr Uint64 kPumpsPerSecond = 1000;

// The longest sleep of Run's own loop between two looks at the event queue (milliseconds).
constexpr int kLongestSleepMs = 4;

}  // namespace

SdlWindowHost::SdlWindowHost(SDL_Window* window, SdlScreen& screen, TextRenderer& text,
                             SdlPads& pads)
    : window_(window),
      window_id_(SDL_GetWindowID(window)),
      screen_(screen),
      text_(text),
      pads_(pads),
      picture_(FormLayout::kWidth, FormLayout::kHeight, 32, &text),
      pump_interval_(std::max<Uint64>(1, SDL_GetPerformanceFrequency() / kPumpsPerSecond)) {}

void SdlWindowHost::CollectEvents(std::deque<InputEvent>& queue) {
  const Uint64 now = SDL_GetPerformanceCounter();
  if (now - last_pump_ >= pump_interval_) {
    SDL_PumpEvents();
    last_pump_ = now;
  }
  const auto capacity = static_cast<int>(batch_.size());
  int taken = capacity;
  while (taken == capacity) {
    taken = SDL_PeepEvents(batch_.data(), capacity, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (int i = 0; i < taken; ++i) {
      pads_.Handle(batch_[i]);
      if (auto input = TranslateEvent(batch_[i], window_id_, screen_)) queue.push_back(*input);
    }
  }
}

bool SdlWindowHost::Wait(double seconds, bool idle) {
  if (!idle) return true;
  // Sleeps rather than waiting in SDL_WaitEventTimeout: while SDL 2.26 waits there, every event
  // it queues sends the window a wake-up through a second X connection, and one such request
  // still unsent when the window is destroyed makes Xlib end the process with a BadWindow
  // error (seen under Xvfb on about a third of the exits). A few milliseconds of sleep between
  // looks at the queue keep the window responsive for well under 1% of a core.
  const int milliseconds =
      std::clamp(static_cast<int>(std::ceil(seconds * 1000)), 1, kLongestSleepMs);
  SDL_Delay(static_cast<Uint32>(milliseconds));
  last_pump_ = 0;
  return true;
}

void SdlWindowHost::ShowWindow() {
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
}

void SdlWindowHost::Paint(const Form& form) {
  PaintForm(form, picture_, text_);
  try {
    screen_.PresentDesktop(picture_);
  } catch (const RunError& error) {
    // The next change paints again; one line says why the window may look stale.
    if (!paint_failure_reported_) {
      std::fprintf(stderr, "Kraylo: the window cannot be shown: %s\n", error.description().c_str());
      paint_failure_reported_ = true;
    }
  }
}

void SdlWindowHost::ToggleFullScreen() {
  try {
    screen_.ToggleWindowed();
  } catch (const RunError& error) {
    // The picture stays where it is; the player can try again.
    std::fprintf(stderr, "Kraylo: %s\n", error.description().c_str());
  }
}

std::optional<PicturePoint> SdlWindowHost::SystemPointer() const {
  PicturePoint point;
  if (!screen_.PointerInFrame(point.x, point.y)) return std::nullopt;
  return point;
}

std::string SdlWindowHost::ClipboardText() {
  if (SDL_HasClipboardText() != SDL_TRUE) return "";
  char* text = SDL_GetClipboardText();
  if (text == nullptr) return "";
  std::string copy(text);
  SDL_free(text);
  return copy;
}

void SdlWindowHost::AcceptText(bool accept) {
  if (accept) {
    SDL_StartTextInput();
  } else {
    SDL_StopTextInput();
  }
}

void SdlWindowHost::ApplyCursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

void SdlWindowHost::ReportError(const std::string& report) {
  // The message box must be seen and answered: the desktop and the pointer come back first.
  LeaveFullScreen();
  SDL_ShowCursor(SDL_ENABLE);
  const SDL_MessageBoxButtonData ok{
      SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
  const SDL_MessageBoxData box{
      SDL_MESSAGEBOX_ERROR, nullptr, "Kraylo", report.c_str(), 1, &ok, nullptr};
  int pressed = 0;
  // Without a display the box cannot open; the report is on stderr already.
  SDL_ShowMessageBox(&box, &pressed);
}

void SdlWindowHost::GiveDesktopBack() {
  LeaveFullScreen();
  SDL_ShowCursor(SDL_ENABLE);
  SDL_HideWindow(window_);
}

void SdlWindowHost::LeaveFullScreen() {
  if (!screen_.IsFullScreen()) return;
  try {
    screen_.LeaveFullScreen();
  } catch (const RunError& error) {
    std::fprintf(stderr, "Kraylo: the desktop could not be given back: %s\n",
                 error.description().c_str());
  }
}

}  // namespace kraylo
