#include "platform/desktop_form/form.h"

#include <array>

namespace kraylo {

Font WindowFont() { return {"Tahoma", 72, true}; }
Font Fnt2Font() { return {"Tahoma", 36, true}; }
Font LogFont() { return {"Tahoma", 9, false}; }

namespace {

// The controls that take the keyboard focus, in tab order (fnt2 is a label and never does).
constexpr std::array<Control, 2> kTabOrder{Control::kLog, Control::kExit};

// Rows the wheel scrolls per notch, as the desktop's text boxes do.
constexpr int kWheelRows = 3;

int TabPosition(Control control) { return control == Control::kLog ? 0 : 1; }

const Rect& PlaceOf(Control control) {
  return control == Control::kLog ? LogBoxLayout::kBox : FormLayout::kExit;
}

}  // namespace

Form::Form(TextMeasure measure) : log_(std::move(measure)) {}

bool Form::IsVisible(Control control) const {
  return control == Control::kLog ? log_visible_ : exit_visible_;
}

void Form::SetVisible(Control control, bool visible) {
  bool& flag = control == Control::kLog ? log_visible_ : exit_visible_;
  if (flag == visible) return;
  flag = visible;
  changed_ = true;
  if (visible) {
    if (!focus_) focus_ = control;
    return;
  }
  // A hidden control lets go of the mouse.
  if (control == Control::kExit) exit_captured_ = false;
  if (control == Control::kLog) log_.EndDrag();
  if (focus_ == control) Tab(false);
}

void Form::SetLogText(std::string text) {
  log_.SetText(std::move(text));
  changed_ = true;
}

FormAction Form::Route(const InputEvent& event, bool full_screen) {
  using Kind = InputEvent::Kind;
  switch (event.kind) {
    case Kind::kKeyDown:
      return RouteKey(event);
    case Kind::kMouseDown:
      return full_screen ? FormAction{FormAction::Kind::kMouseDown, event} : RouteMouseDown(event);
    case Kind::kMouseMove:
      return full_screen ? FormAction{FormAction::Kind::kMouseMove, event} : RouteMouseMove(event);
    case Kind::kMouseUp:
      return full_screen ? FormAction{} : RouteMouseUp(event);
    case Kind::kWheel:
      if (!full_screen) RouteWheel(event);
      return {};
    default:
      return {};
  }
}

bool Form::TakeChanged() {
  const bool changed = changed_;
  changed_ = false;
  return changed;
}

FormAction Form::RouteKey(const InputEvent& event) {
  // The window sees keys only while no control holds the focus.
  if (!focus_) return {FormAction::Kind::kKeyDown, event};
  if (event.key_code == kKeyTab) {
    Tab((event.shift & kShiftShift) != 0);
    return {};
  }
  if (*focus_ == Control::kExit) {
    const bool presses = event.key_code == kKeySpace || event.key_code == kKeyReturn;
    return presses ? FormAction{FormAction::Kind::kExitClick, {}} : FormAction{};
  }
  // The log box is read-only: keys only move its view.
  const bool ctrl = (event.shift & kShiftCtrl) != 0;
  bool moved = false;
  switch (event.key_code) {
    case kKeyUpArrow:
      moved = log_.ScrollBy(-1);
      break;
    case kKeyDownArrow:
      moved = log_.ScrollBy(1);
      break;
    case kKeyPageUp:
      moved = log_.ScrollBy(-LogBoxLayout::kVisibleRows);
      break;
    case kKeyPageDown:
      moved = log_.ScrollBy(LogBoxLayout::kVisibleRows);
      break;
    case kKeyHome:
      moved = ctrl && log_.ScrollTo(0);
      break;
    case kKeyEnd:
      moved = ctrl && log_.ScrollTo(log_.MaxTopRow());
      break;
    default:
      break;
  }
  changed_ = changed_ || moved;
  return {};
}

FormAction Form::RouteMouseDown(const InputEvent& event) {
  if (Shows(Control::kExit, event.x, event.y)) {
    // A button reacts to the left button only; it clicks when that button is let go over it.
    if (event.button == kMouseLeft) {
      SetFocus(Control::kExit);
      exit_captured_ = true;
      exit_pointer_inside_ = true;
      changed_ = true;
    }
    return {};
  }
  if (Shows(Control::kLog, event.x, event.y)) {
    SetFocus(Control::kLog);
    if (event.button == kMouseLeft && log_.PressBar(event.x, event.y)) changed_ = true;
    return {};
  }
  if (OverLabel(event)) return {};
  return {FormAction::Kind::kMouseDown, event};
}

FormAction Form::RouteMouseMove(const InputEvent& event) {
  if (exit_captured_) {
    const bool inside = Contains(FormLayout::kExit, event.x, event.y);
    if (inside != exit_pointer_inside_) changed_ = true;
    exit_pointer_inside_ = inside;
    return {};
  }
  if (log_.dragging()) {
    if (log_.DragTo(event.y)) changed_ = true;
    return {};
  }
  // Moves over a control are the control's own, and nothing handles those.
  if (Shows(Control::kExit, event.x, event.y) || Shows(Control::kLog, event.x, event.y) ||
      OverLabel(event)) {
    return {};
  }
  return {FormAction::Kind::kMouseMove, event};
}

FormAction Form::RouteMouseUp(const InputEvent& event) {
  if (event.button != kMouseLeft) return {};
  log_.EndDrag();
  if (!exit_captured_) return {};
  exit_captured_ = false;
  changed_ = true;
  const bool inside = Contains(FormLayout::kExit, event.x, event.y);
  return inside ? FormAction{FormAction::Kind::kExitClick, {}} : FormAction{};
}

void Form::RouteWheel(const InputEvent& event) {
  if (Shows(Control::kLog, event.x, event.y) && log_.ScrollBy(-kWheelRows * event.wheel)) {
    changed_ = true;
  }
}

void Form::Tab(bool backwards) {
  const int count = static_cast<int>(kTabOrder.size());
  const int step = backwards ? count - 1 : 1;
  // From the window itself the first step lands on the first (or last) control.
  int position = focus_ ? TabPosition(*focus_) : (backwards ? 0 : count - 1);
  for (int tried = 0; tried < count; ++tried) {
    position = (position + step) % count;
    if (IsVisible(kTabOrder[position])) {
      SetFocus(kTabOrder[position]);
      return;
    }
  }
  SetFocus(std::nullopt);
}

void Form::SetFocus(std::optional<Control> control) {
  if (focus_ == control) return;
  focus_ = control;
  changed_ = true;
}

bool Form::OverLabel(const InputEvent& event) {
  // The label fnt2 shows nothing but is there all the same: the mouse over it is its own.
  return Contains(FormLayout::kFnt2, event.x, event.y);
}

bool Form::Shows(Control control, float x, float y) const {
  return IsVisible(control) && Contains(PlaceOf(control), x, y);
}

}  // namespace kraylo
