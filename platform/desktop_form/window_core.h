// The main window's behaviour, shared by both backends: event dispatch through the form's
// controls to the program's handlers, the timer tmrMove, yields, the unhandled-error report and
// Run's own loop; the focus, the Alt+Enter switch between full screen and a window, and the
// pointer's place when the picture appears. A WindowHost supplies what differs: where events
// come from and how the window is shown.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "platform/desktop_form/form.h"
#include "platform/events.h"
#include "platform/platform.h"

namespace kraylo {

// A place in the shown picture (pixels).
struct PicturePoint {
  float x = 0;
  float y = 0;
};

// The window system under the core.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Called once per pass (each yield, each turn of Run's own loop): appends the window system's
  // pending events to `queue`, oldest first.
  virtual void CollectEvents(std::deque<InputEvent>& queue) = 0;
  // Between two passes of Run's own loop: waits up to `seconds` for an event when the last pass
  // was `idle` (it dispatched no input event). False ends the session.
  virtual bool Wait(double seconds, bool idle) = 0;
  // Whether the window shows the display's frames, covering its controls: full screen, or in a
  // window of their own after Alt+Enter.
  virtual bool IsFullScreen() const = 0;
  // While frames are shown: from full screen to a resizable desktop window of the frame's size
  // with the frames letterboxed in it, or back.
  virtual void ToggleFullScreen() = 0;
  // Where the system pointer is in the shown frames (frame pixels); nothing when it is not over
  // the window or the window system cannot say.
  virtual std::optional<PicturePoint> SystemPointer() const = 0;
  virtual void ShowWindow() = 0;
  // Shows the controls as `form` has them (called only off full screen, after something changed).
  virtual void Paint(const Form& form) = 0;
  // Shows (true) or hides the system pointer over the window.
  virtual void ApplyCursor(bool shown) = 0;
  // Tells the user about an unhandled error: `report` is "Run-time error N: D".
  virtual void ReportError(const std::string& report) = 0;
  // The text on the desktop's clipboard; "" when there is none.
  virtual std::string ClipboardText() = 0;
  // Turns the window system's text input (and input method) on or off.
  virtual void AcceptText(bool accept) = 0;
  // Leaves full screen and puts the desktop as it was, when the session ends.
  virtual void GiveDesktopBack() = 0;
};

class WindowCore : public Window {
 public:
  // `clock` times the timer; `host` must outlive the core.
  WindowCore(WindowHandle handle, Clock& clock, WindowHost& host, TextMeasure measure);

  // Window
  WindowHandle Handle() const override { return handle_; }
  void SetVisible(Control control, bool visible) override;
  bool IsVisible(Control control) const override { return form_.IsVisible(control); }
  std::string LogText() const override { return form_.log().text(); }
  void SetLogText(std::string text) override { form_.SetLogText(std::move(text)); }
  void StartTimer() override;
  void Yield() override;
  void WaitThenYield() override;
  void Unload() override { unloaded_ = true; }
  [[noreturn]] void EndProgram() override;
  int ShowCursor(bool show) override;
  std::string ClipboardText() override { return host_.ClipboardText(); }
  void AcceptText(bool accept) override { host_.AcceptText(accept); }

  // Shows the window, raises its activation once, serves its events until the program ends,
  // gives the desktop back; the exit status (0 on every normal way out, 1 after an error report).
  int Run(const WindowEvents& events);
  // Calls `listener` with true when the window gains the keyboard focus and false when it loses
  // it (the pads follow the focus as the keys do).
  void WatchFocus(std::function<void(bool focused)> listener) {
    focus_listener_ = std::move(listener);
  }

  // Observations.
  const Form& form() const { return form_; }
  int cursor_count() const { return cursor_count_; }
  int yields() const { return yields_; }            // Yield and WaitThenYield calls
  int timer_ticks() const { return timer_ticks_; }  // ticks delivered
  bool timer_running() const { return timer_running_; }
  bool unloaded() const { return unloaded_; }
  int handler_runs() const { return handler_runs_; }  // since Run began, activation included
  bool focused() const { return focused_; }           // the window has the keyboard focus

 private:
  // One pass: every pending event in order, then at most one due tick, then a repaint if the
  // picture changed. True when an input event was dispatched.
  bool Pass();
  bool Dispatch(const InputEvent& event);
  void SetFocus(bool focused);
  // Alt+Enter: the window system's own shortcut, never a key of the program's.
  static bool IsFullScreenToggle(const InputEvent& event);
  // Queues a mouse move to where the system pointer is, so that the game's pointer is there
  // from the first frame of a new picture on, not where the pointer last moved.
  void QueuePointer();
  void DeliverDueTick();
  double SecondsToNextTick();
  void PaintIfChanged();
  // Runs a handler; an error it lets out ends the program with the report.
  template <typename Handler, typename... Args>
  void Call(const Handler& handler, Args... args);
  [[noreturn]] void EndWithReport(int32_t number, const std::string& description);

  WindowHandle handle_;
  Clock& clock_;
  WindowHost& host_;
  Form form_;
  WindowEvents events_;
  std::deque<InputEvent> queue_;
  bool shown_ = false;
  bool unloaded_ = false;
  bool timer_running_ = false;
  bool focused_ = false;
  bool was_full_screen_ = false;  // at the last pass
  std::function<void(bool)> focus_listener_;
  double next_tick_ = 0;  // clock seconds at which the next tick falls due
  int timer_ticks_ = 0;
  int yields_ = 0;
  int handler_runs_ = 0;
  int cursor_count_ = 0;
};

}  // namespace kraylo
