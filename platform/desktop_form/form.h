// The main window frmMain as a model: its controls with their places, visibility, the keyboard
// focus and the log box, and where each input event goes: to a control, which handles it itself,
// or on to one of the window's handlers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/desktop_form/log_box.h"
#include "platform/events.h"
#include "platform/platform.h"

namespace kraylo {

// Where the window's parts sit (pixels of the client area).
struct FormLayout {
  static constexpr int32_t kWidth = 417;  // client area
  static constexpr int32_t kHeight = 334;
  static constexpr Rect kExit{314, 305, 409, 327};  // cmdExit
  static constexpr Rect kFnt2{48, 304, 129, 321};   // fnt2: shows nothing, takes the mouse
  static constexpr int32_t kBorderColor = 192 + 256 * 192 + 65536 * 192;  // the border shape
};

// What the window does with an event once the controls have seen it.
struct FormAction {
  enum class Kind { kNone, kKeyDown, kMouseDown, kMouseMove, kExitClick };
  Kind kind = Kind::kNone;
  InputEvent event;  // the event for kKeyDown, kMouseDown and kMouseMove
};

class Form {
 public:
  // The log box breaks its rows with `measure`.
  explicit Form(TextMeasure measure);

  bool IsVisible(Control control) const;
  // Hiding the control with the focus passes the focus on to the next visible control in tab
  // order, or to the window; showing a control while the window holds the focus gives it the
  // focus.
  void SetVisible(Control control, bool visible);
  // The control with the keyboard focus; none: the window itself.
  std::optional<Control> focus() const { return focus_; }

  const LogBox& log() const { return log_; }
  // Replaces the log's text and scrolls to its end.
  void SetLogText(std::string text);

  // Whether cmdExit is drawn pushed in (the left button went down on it and is over it).
  bool exit_pushed() const { return exit_captured_ && exit_pointer_inside_; }

  // Lets the controls see `event` and says what the window must do with it. In full screen the
  // controls are covered, so every mouse event goes to the window.
  FormAction Route(const InputEvent& event, bool full_screen);

  // Whether the picture changed since the last call; marks it unchanged.
  bool TakeChanged();
  // Marks the picture changed (the window system lost it).
  void MarkChanged() { changed_ = true; }

 private:
  FormAction RouteKey(const InputEvent& event);
  FormAction RouteMouseDown(const InputEvent& event);
  FormAction RouteMouseMove(const InputEvent& event);
  FormAction RouteMouseUp(const InputEvent& event);
  void RouteWheel(const InputEvent& event);
  // Moves the focus to the next (or previous) visible control in tab order.
  void Tab(bool backwards);
  void SetFocus(std::optional<Control> control);
  bool Shows(Control control, float x, float y) const;
  static bool OverLabel(const InputEvent& event);

  LogBox log_;
  bool exit_visible_ = true;
  bool log_visible_ = true;
  std::optional<Control> focus_ = Control::kLog;
  bool exit_captured_ = false;        // the left button went down on cmdExit and is still down
  bool exit_pointer_inside_ = false;  // while captured: the pointer is over cmdExit
  bool changed_ = true;
};

}  // namespace kraylo
