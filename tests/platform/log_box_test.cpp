// The log box txtDebug as the user scrolls it: the wheel over it, presses and drags on its
// scroll bar, always within the text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/desktop_form/desktop_text.h"
#include "platform/desktop_form/form.h"

namespace kraylo {
namespace {

using Layout = LogBoxLayout;
using Ev = InputEvent;

TEST(LogBox, WheelAndScrollBarMoveTheViewWithinTheText) {
  const auto press = [](float y) { return Ev::MouseDown(kMouseLeft, Layout::kBar.left + 8.0f, y); };
  const float up = Layout::kUpArrow.top + 4.0f, down = Layout::kDownArrow.top + 4.0f;
  const float near_top = Layout::kUpArrow.bottom + 2.0f, near_end = Layout::kDownArrow.top - 2.0f;
  const Ev home = Ev::KeyDown(kKeyHome, kShiftCtrl);
  const int page = Layout::kVisibleRows;
  const int end = 101 - page;  // 100 lines and the empty row after the last line end
  struct Case {
    const char* what;
    std::vector<InputEvent> input;  // new text starts at its end
    int top_row;
  };
  const std::vector<Case> cases = {
      {"the wheel up over the box: 3 rows", {Ev::Wheel(1, 100, 100)}, end - 3},
      {"the wheel off the box", {Ev::Wheel(1, 200, 320)}, end},
      {"the up arrow: a row", {press(up)}, end - 1},
      {"the down arrow at the end", {press(down)}, end},
      {"the track above the thumb: a page", {press(near_top)}, end - page},
      {"Ctrl+Home: the first row", {home}, 0},
      {"the down arrow: a row", {home, press(down)}, 1},
      {"the track below the thumb: a page", {home, press(near_end)}, page},
      {"the up arrow and the wheel at the top", {home, press(up), Ev::Wheel(1, 100, 100)}, 0},
      {"the thumb dragged past the top", {press(near_end), Ev::MouseMove(400, -50, kMouseLeft)}, 0},
      {"no drag once the button is up",
       {press(near_end), Ev::MouseUp(kMouseLeft, 400, near_end),
        Ev::MouseMove(400, -50, kMouseLeft)},
       end},
  };
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\r\n";
  for (const Case& c : cases) {
    Form form(EstimateTextWidth);
    form.SetLogText(text);
    for (const Ev& event : c.input) form.Route(event, false);
    EXPECT_EQ(form.log().top_row(), c.top_row) << c.what;
    EXPECT_EQ(form.log().text(), text) << "the log box is read-only";
  }
}

}  // namespace
}  // namespace kraylo
