#include "platform/desktop_form/window_core.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace kraylo {
namespace {

// Run's own loop looks at the clock at least this often while no timer is due (seconds).
constexpr double kLongestWait = 0.25;

}  // namespace

WindowCore::WindowCore(WindowHandle handle, Clock& clock, WindowHost& host, TextMeasure measure)
    : handle_(handle), clock_(clock), host_(host), form_(std::move(measure)) {}

void WindowCore::SetVisible(Control control, bool visible) { form_.SetVisible(control, visible); }

void WindowCore::StartTimer() {
  if (timer_running_) return;
  timer_running_ = true;
  next_tick_ = clock_.Seconds() + kTickSeconds;
}

void WindowCore::Yield() {
  ++yields_;
  Pass();
}

void WindowCore::WaitThenYield() {
  ++yields_;
  const int ticks_before = timer_ticks_;
  // Idle passes sleep between them as Run's own loop does; a window system that ends the
  // session meanwhile ends the program as Run's loop would.
  while (!Pass() && timer_ticks_ == ticks_before && !unloaded_) {
    if (!host_.Wait(SecondsToNextTick(), /*idle=*/true)) throw ProgramEnd{0};
  }
}

void WindowCore::EndProgram() { throw ProgramEnd{0}; }

int WindowCore::ShowCursor(bool show) {
  cursor_count_ += show ? 1 : -1;
  host_.ApplyCursor(cursor_count_ >= 0);
  return cursor_count_;
}

int WindowCore::Run(const WindowEvents& events) {
  events_ = events;
  handler_runs_ = 0;
  int status = 0;
  try {
    host_.ShowWindow();
    shown_ = true;
    form_.MarkChanged();
    PaintIfChanged();
    // The window system's own activation reports come and go with the focus; the program's
    // activation happens exactly once, here.
    Call(events_.activate);
    while (!unloaded_) {
      const bool idle = !Pass();
      if (unloaded_ || !host_.Wait(SecondsToNextTick(), idle)) break;
    }
  } catch (const ProgramEnd& end) {
    status = end.status;
  }
  cursor_count_ = 0;
  host_.ApplyCursor(true);
  host_.GiveDesktopBack();
  return status;
}

bool WindowCore::Pass() {
  host_.CollectEvents(queue_);
  // Frames appeared since the last pass (the display entered full screen): the game's pointer
  // starts where the system pointer is.
  const bool full_screen = host_.IsFullScreen();
  if (full_screen && !was_full_screen_) QueuePointer();
  was_full_screen_ = full_screen;
  bool dispatched = false;
  // An unloaded window has no controls and no timer left to serve.
  while (!queue_.empty() && !unloaded_) {
    const InputEvent event = queue_.front();
    queue_.pop_front();
    dispatched = Dispatch(event) || dispatched;
  }
  queue_.clear();
  if (unloaded_) return dispatched;
  DeliverDueTick();
  PaintIfChanged();
  return dispatched;
}

bool WindowCore::Dispatch(const InputEvent& event) {
  switch (event.kind) {
    case InputEvent::Kind::kClose:
      throw ProgramEnd{0};
    case InputEvent::Kind::kExpose:
      form_.MarkChanged();
      return false;
    case InputEvent::Kind::kFocusGained:
    case InputEvent::Kind::kFocusLost:
      SetFocus(event.kind == InputEvent::Kind::kFocusGained);
      return false;
    case InputEvent::Kind::kText:
      // The desktop window's controls take no text; the program's screens do.
      if (host_.IsFullScreen()) Call(events_.text_input, std::string(event.text.data()));
      return true;
    default:
      break;
  }
  if (IsFullScreenToggle(event)) {
    // Held down, the key repeats: one press, one switch. Before the frames there is nothing to
    // switch, and the key is swallowed all the same (on the Exit button Enter would click).
    if (!event.repeat && host_.IsFullScreen()) {
      host_.ToggleFullScreen();
      QueuePointer();
    }
    return true;
  }
  const FormAction action = form_.Route(event, host_.IsFullScreen());
  const InputEvent& e = action.event;
  switch (action.kind) {
    case FormAction::Kind::kKeyDown:
      Call(events_.key_down, e.key_code, e.shift, e.repeat);
      break;
    case FormAction::Kind::kMouseDown:
      Call(events_.mouse_down, e.button, e.shift, e.x, e.y);
      break;
    case FormAction::Kind::kMouseMove:
      Call(events_.mouse_move, e.button, e.shift, e.x, e.y);
      break;
    case FormAction::Kind::kExitClick:
      Call(events_.exit_click);
      break;
    case FormAction::Kind::kNone:
      break;
  }
  return true;
}

void WindowCore::SetFocus(bool focused) {
  focused_ = focused;
  if (focus_listener_) focus_listener_(focused);
}

bool WindowCore::IsFullScreenToggle(const InputEvent& event) {
  return event.kind == InputEvent::Kind::kKeyDown && event.key_code == kKeyReturn &&
         event.shift == kShiftAlt;
}

void WindowCore::QueuePointer() {
  if (const std::optional<PicturePoint> pointer = host_.SystemPointer()) {
    queue_.push_back(InputEvent::MouseMove(pointer->x, pointer->y));
  }
}

void WindowCore::DeliverDueTick() {
  if (!timer_running_) return;
  const double now = clock_.Seconds();
  if (now < next_tick_) return;
  // Ticks that fell due while none could be delivered are one tick, never a burst; on time,
  // the schedule keeps its 30 ms rhythm however the yields fall.
  next_tick_ += kTickSeconds;
  if (next_tick_ <= now) next_tick_ = now + kTickSeconds;
  ++timer_ticks_;
  Call(events_.timer_tick);
}

double WindowCore::SecondsToNextTick() {
  if (!timer_running_) return kLongestWait;
  return std::clamp(next_tick_ - clock_.Seconds(), 0.0, kLongestWait);
}

void WindowCore::PaintIfChanged() {
  // Full screen covers the controls; their changes wait until the desktop window is back.
  if (!shown_ || host_.IsFullScreen() || !form_.TakeChanged()) return;
  host_.Paint(form_);
}

template <typename Handler, typename... Args>
void WindowCore::Call(const Handler& handler, Args... args) {
  if (!handler) return;
  ++handler_runs_;
  try {
    handler(args...);
  } catch (const ProgramEnd&) {
    throw;
  } catch (const RunError& error) {
    EndWithReport(error.number(), error.description());
  } catch (const std::bad_alloc&) {
    EndWithReport(kErrOutOfMemory, "Out of memory");
  } catch (const std::exception& error) {
    EndWithReport(kErrInternal, std::string("Internal error: ") + error.what());
  }
}

void WindowCore::EndWithReport(int32_t number, const std::string& description) {
  std::fprintf(stderr, "Kraylo: run-time error %d: %s\n", static_cast<int>(number),
               description.c_str());
  std::fflush(stderr);
  host_.ReportError("Run-time error " + std::to_string(number) + ": " + description);
  // Thrown from the dispatch point, so no step guard of the program can hold the end up.
  throw ProgramEnd{1};
}

}  // namespace kraylo
