// What players expect of a desktop program: the game's pointer where the system pointer is from
// the first full-screen frame on, and Alt+Enter between full screen and a window with the menu,
// the timer and the game going on as before.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

void AltEnter(HeadlessSystem& machine) { machine.Push(InputEvent::KeyDown(kKeyReturn, kShiftAlt)); }

TEST(Desktop, TheFirstFullScreenFrameDrawsThePointerWhereTheSystemPointerIs) {
  const Bitmap cursor = LoadSheet("cursor.bmp");
  const struct {
    const char* what;
    bool known;    // the window system can say where the pointer is
    int16_t x, y;  // where the first frame draws it
  } cases[] = {{"over the frames", true, 600, 150},
               {"unknown: where the start-up window saw it last", false, 200, 320}};
  for (const auto& c : cases) {
    Session s;
    if (c.known) s.machine.SetPointer(600.7f, 150.2f);
    s.AtFrame(-10, [&] { s.machine.Push(InputEvent::MouseMove(200, 320)); });
    s.AtFrame(2, [&] {
      EXPECT_EQ(std::tuple(s.program.screen.MouseX, s.program.screen.MouseY), std::tuple(c.x, c.y))
          << c.what;
      EXPECT_TRUE(CellShownAt(*s.machine.LastFrame(), cursor, {0, 0, 30, 30}, c.x, c.y)) << c.what;
    });
    s.EndFrom(2);
    EXPECT_EQ(s.Run(), 0);
  }
}

TEST(Desktop, AltEnterBothWaysAndTheMenusClicksLandOnTheSameButtons) {
  Session s;
  s.AtFrame(2, [&] { AltEnter(s.machine); });
  s.AtFrame(3, [&] {
    EXPECT_TRUE(s.machine.IsWindowed());
    Click(s.machine, 400, 380);  // Credits
  });
  s.AtFrame(4, [&] {
    EXPECT_EQ(s.program.screen.Shown, kCreditsScreen);
    PressEscape(s.machine);
  });
  s.AtFrame(5, [&] {
    EXPECT_EQ(s.program.screen.Shown, kMenuScreen) << "Esc still reaches the screens";
    AltEnter(s.machine);
  });
  s.AtFrame(6, [&] {
    EXPECT_FALSE(s.machine.IsWindowed());
    EXPECT_TRUE(s.machine.IsFullScreen());
    Click(s.machine, 400, 300);  // Empty Screen
  });
  s.AtFrame(7, [&] { EXPECT_EQ(s.program.screen.Shown, kEmptyScreen); });
  s.EndFrom(8);
  EXPECT_EQ(s.Run(), 0);
  EXPECT_EQ(s.machine.FramesShown(), s.machine.Yields() - kStartUpYields)
      << "a frame on every pass, windowed or not";
}

TEST(Desktop, TheGameAndItsTimerGoOnThroughAltEnter) {
  Session s;
  KeyTable& keys = s.machine.HeldKeys();
  int ticks_at_switch = 0;
  s.AtFrame(1, [&] {
    Click(s.machine, 400, 260);
    keys[key_index::kRight] = key_index::kHeld;
  });
  s.AtFrame(100, [&] {
    ticks_at_switch = s.machine.TimerTicks();
    AltEnter(s.machine);
  });
  s.AtFrame(200, [&] { AltEnter(s.machine); });
  s.AtFrame(300, [&] {
    EXPECT_FALSE(s.machine.IsWindowed());
    EXPECT_GT(s.machine.TimerTicks(), ticks_at_switch + 5);
    keys[key_index::kEscape] = key_index::kHeld;
  });
  EXPECT_EQ(s.Run(), 0);
  EXPECT_GT(s.program.game.Balls(1).X, 360) << "Right held all along";
  EXPECT_TRUE(s.machine.ErrorReports().empty());
}

}  // namespace
}  // namespace kraylo::testing
