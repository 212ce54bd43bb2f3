// Whole sessions through the menu: a game played with held keys and the debug overlay, the
// credits, the other buttons, and where a click acts; and the event handlers on their own.
#include <gtest/gtest.h>

#include <cmath>

#include "display/sprites.h"
#include "tests/shell/session.h"
#include "tests/support/test_helpers.h"

namespace kraylo::testing {
namespace {

constexpr int16_t kMenuX = 330;  // on an 800 pixel wide display
const Rect kFpsArea = {0, 0, 300, 40};

Rect ButtonCell(int n, bool lit) { return {lit ? 140 : 0, (n - 1) * 32, lit ? 280 : 140, n * 32}; }
Rect BallCell(int row, int col) { return {col * 102, row * 102, col * 102 + 102, row * 102 + 102}; }

TEST(Play, MenuThenButton1ThenKeysAndOverlayThenEscHeldEndsAfterTheFlip) {
  Session s;
  s.machine.SetDecimalSeparator(',');
  KeyTable& keys = s.machine.HeldKeys();
  const Bitmap buttons = LoadSheet("buttons.bmp"), balls = LoadSheet("balls.bmp");
  // The pointer on the bottom-right corner of button 3's hit area lights that button only.
  s.AtFrame(1, [&] { s.machine.Push(InputEvent::MouseMove(470, 362)); });
  s.AtFrame(3, [&] {
    const Surface& frame = *s.machine.LastFrame();
    for (int n = 1; n <= kMenuButtonCount; ++n) {
      const int16_t top = kMenuButtonTops[static_cast<size_t>(n - 1)];
      EXPECT_TRUE(CellShownAt(frame, buttons, ButtonCell(n, n == 3), kMenuX, top)) << n;
      EXPECT_FALSE(CellShownAt(frame, buttons, ButtonCell(n, n != 3), kMenuX, top)) << n;
    }
    EXPECT_EQ(LitPixels(frame, {0, 0, 800, 600}),
              LitPixels(frame, {kMenuX, 250, kMenuX + 140, 442}) +
                  LitPixels(frame, {470, 362, 500, 392}) + LitPixels(frame, kFpsArea))
        << "only buttons, pointer and frame rate";
    EXPECT_FALSE(s.machine.TimerRunning());
    Click(s.machine, 400, 260);
    keys[key_index::kRight] = keys[key_index::kTab] = key_index::kHeld;
  });
  // Centre x of ball 1 after each tick: Right held for four ticks, then friction alone.
  const std::map<int, double> expected_x = {{0, 349}, {1, 350}, {2, 351},
                                            {3, 353}, {4, 356}, {5, 359}};
  std::map<int, double> seen_x;
  std::vector<TextDraw> overlay;
  for (int f = 4; f < 400; ++f) {
    s.AtFrame(f, [&] {
      const int ticks = s.machine.TimerTicks();
      if (ticks >= 1) keys[key_index::kTab] = 0;
      if (ticks >= 4) keys[key_index::kRight] = 0;
      if (ticks == 1 && overlay.empty()) {
        overlay = s.machine.TextsOfLastFrame();
        // The overlay puts the back buffer's text colour back.
        EXPECT_EQ(s.program.display.back_buffer->GetForeColor(), 0);
      }
      if (ticks >= 6) keys[key_index::kEscape] = key_index::kHeld;
      if (seen_x.count(ticks) != 0 || expected_x.count(ticks) == 0) return;
      seen_x[ticks] = s.program.game.Balls(1).X;
      const Surface& frame = *s.machine.LastFrame();
      const auto left = static_cast<int32_t>(std::lround(expected_x.at(ticks) - 51));
      EXPECT_TRUE(CellShownAt(frame, balls, BallCell(0, 1), left, 198)) << "tick " << ticks;
      EXPECT_TRUE(CellShownAt(frame, balls, BallCell(1, 1), 400, 300)) << "tick " << ticks;
    });
  }
  EXPECT_EQ(s.Run(), 0);
  EXPECT_EQ(seen_x, expected_x);

  const std::vector<std::pair<int32_t, std::string>> lines = {
      {30, "Time To Drop: 0"},  {55, "Player 1 X: 350"},   {75, "Player 1 Y: 249"},
      {95, "Player 1 MX: 1,0"}, {115, "Player 1 MY: 0,0"}, {140, "Player 2 X: 451"},
      {160, "Player 2 Y: 351"}, {180, "Player 2 MX: 0,0"}, {200, "Player 2 MY: 0,0"}};
  ASSERT_EQ(overlay.size(), lines.size() + 1) << "nine lines and the frame rate";
  for (size_t i = 0; i < lines.size(); ++i) {
    // At x 10 in the log's font and RGB(20, 255, 20).
    EXPECT_EQ(std::tuple(overlay[i].x, overlay[i].y, overlay[i].text, overlay[i].color),
              std::tuple(10, lines[i].first, lines[i].second, 0x14FF14));
    EXPECT_EQ(overlay[i].font, LogFont());
  }
  // Esc held at a tick: that frame is still drawn and flipped, then the loop ends.
  EXPECT_FALSE(s.program.game.Running);
  EXPECT_EQ(s.machine.FramesShown(), s.machine.Yields() - kStartUpYields);
  EXPECT_TRUE(s.machine.Unloaded());
  EXPECT_TRUE(s.machine.TimerRunning()) << "the timer is never stopped";
}

// The y of the credits' title in the last frame; 0 when there is none.
int32_t TitleY(const HeadlessSystem& machine) {
  for (const TextDraw& draw : machine.TextsOfLastFrame()) {
    if (draw.text == "Kraylo") return draw.y;
  }
  return 0;
}

TEST(Play, CreditsScrollByRoundedStepsWrapBelowMinus800AndRestartFromTheBottom) {
  Session s;
  s.machine.SetYieldStep(1.0 / 75);
  std::vector<int32_t> titles;
  for (int f = 101; f <= 107; ++f) s.AtFrame(f, [&] { titles.push_back(TitleY(s.machine)); });
  s.AtFrame(100, [&] { Click(s.machine, 400, 380); });
  s.AtFrame(103, [&] { PressEscape(s.machine); });
  s.AtFrame(104, [&] { Click(s.machine, 400, 380); });
  s.AtFrame(105, [&] { s.program.screen.CreditsY = -786; });
  s.EndFrom(107);
  EXPECT_EQ(s.Run(), 0);
  // Steps of 6 + 75 * 0.1 pixels, halves to even; 0: the menu, where button 4 works again;
  // -800 is still drawn, -814 wraps at once.
  EXPECT_EQ(titles, (std::vector<int32_t>{586, 572, 558, 0, 586, -800, 600}));
}

TEST(Play, CreditsLinesKeepTheirTextsFontsShadesAndPlaces) {
  const Font window = WindowFont(), fnt2 = Fnt2Font();
  constexpr int32_t kBright = 0xFF00, kMiddle = 0xC000, kDark = 0x8000;
  // Text, font, shade, y below the title, x on fields 800 and 1023 pixels wide (halves to even).
  const struct {
    const char* text;
    const Font& font;
    int32_t color, y, x800, x1023;
  } lines[] = {
      {"Kraylo", window, kBright, 0, 250, 362}, {"Programming", fnt2, kMiddle, 130, 280, 392},
      {"Mirzel", fnt2, kDark, 190, 349, 460},   {"Sounds", fnt2, kMiddle, 250, 331, 442},
      {"Mirzel", fnt2, kDark, 310, 349, 460},   {"Graphics", fnt2, kMiddle, 370, 316, 428},
      {"Mirzel", fnt2, kDark, 430, 349, 460},   {"Developed Using:", fnt2, kMiddle, 490, 262, 374},
      {"C++20", fnt2, kDark, 550, 196, 308},    {"SDL2", fnt2, kDark, 610, 226, 338},
      {"GCC", fnt2, kDark, 670, 235, 346},      {"Thanks", fnt2, kMiddle, 730, 325, 436},
      {"Nobody", fnt2, kDark, 790, 325, 436}};
  for (const int width : {800, 1023}) {
    SCOPED_TRACE(width);
    Session s;
    s.WriteConfig(Config(std::to_string(width).c_str()));
    std::vector<TextDraw> drawn;
    s.AtFrame(2, [&] { Click(s.machine, static_cast<float>(std::lround(width / 2.0)), 380); });
    s.AtFrame(4, [&] { drawn = s.machine.TextsOfLastFrame(); });
    s.EndFrom(5);
    EXPECT_EQ(s.Run(), 0);
    // The credits, then the frame-rate counter.
    ASSERT_EQ(drawn.size(), std::size(lines) + 1);
    for (size_t i = 0; i < std::size(lines); ++i) {
      const auto& line = lines[i];
      EXPECT_EQ(drawn[i].text, line.text);
      EXPECT_EQ(drawn[i].font, line.font) << line.text;
      EXPECT_EQ(drawn[i].color, line.color) << line.text;
      EXPECT_EQ(drawn[i].y - drawn[0].y, line.y) << line.text;
      EXPECT_EQ(drawn[i].x, width == 800 ? line.x800 : line.x1023) << line.text;
    }
  }
}

TEST(Play, Button2ShowsAnEmptyScreenButton3NothingAndButton5EndsAtOnce) {
  Session s;
  const Bitmap cursor = LoadSheet("cursor.bmp");
  s.AtFrame(2, [&] { Click(s.machine, 330, 290); });
  s.AtFrame(3, [&] {
    const Surface& frame = *s.machine.LastFrame();
    EXPECT_EQ(s.program.screen.Shown, kEmptyScreen);
    EXPECT_TRUE(CellShownAt(frame, cursor, {0, 0, 30, 30}, 330, 290));
    EXPECT_EQ(LitPixels(frame, {0, 0, 800, 600}),
              LitPixels(frame, {330, 290, 360, 320}) + LitPixels(frame, kFpsArea));
    PressEscape(s.machine);
  });
  s.AtFrame(4, [&] {
    EXPECT_EQ(s.program.screen.Shown, kMenuScreen);
    Click(s.machine, 400, 340);
  });
  s.AtFrame(5, [&] {
    EXPECT_EQ(s.program.screen.Shown, kMenuScreen);
    Click(s.machine, 400, 420);
  });
  EXPECT_EQ(s.Run(), 0);
  EXPECT_EQ(s.machine.FramesShown(), 4) << "no frame after the click on button 5";
  EXPECT_TRUE(s.machine.Unloaded());
  EXPECT_TRUE(s.program.game.Running) << "ended at once, not through the loop";
}

TEST(Play, AClickActsAtTheLastMovePositionOnTheMenuOnly) {
  // The screen before, whether the pointer moved there first, the click, the screen after.
  const struct {
    int16_t screen_before;
    bool moved;
    float x, y;
    int16_t button, screen_after;
  } cases[] = {{kMenuScreen, true, 470.9f, 282.9f, kMouseLeft, kGameScreen},
               {kMenuScreen, true, 330, 283, kMouseLeft, kMenuScreen},
               {kMenuScreen, true, 330, 290, kMouseMiddle, kEmptyScreen},
               {kMenuScreen, true, 470, 402, kMouseRight, kCreditsScreen},
               {kMenuScreen, false, 400, 260, kMouseLeft, kMenuScreen},
               {kGameScreen, true, 400, 300, kMouseLeft, kGameScreen},
               {kCreditsScreen, true, 400, 300, kMouseLeft, kCreditsScreen}};
  for (const auto& c : cases) {
    Session s;
    s.AtFrame(2, [&] {
      s.program.screen.Shown = c.screen_before;
      if (c.moved) s.machine.Push(InputEvent::MouseMove(c.x, c.y));
      s.machine.Push(InputEvent::MouseDown(c.button, c.x, c.y));
    });
    s.AtFrame(3, [&] {
      EXPECT_EQ(s.program.screen.Shown, c.screen_after) << c.x << ", " << c.y;
      s.program.screen.Shown = kMenuScreen;
    });
    s.EndFrom(3);
    EXPECT_EQ(s.Run(), 0);
  }
}

TEST(IsOverButton, CoversTheSpriteAndOnePixelMoreRightAndBelowWithSixteenBitSums) {
  const struct {
    int16_t mouse_x, mouse_y, x, y;
    bool over;
    int32_t error;
  } cases[] = {{330, 250, 330, 250, true, 0},        {470, 282, 330, 250, true, 0},
               {329, 250, 330, 250, false, 0},       {471, 250, 330, 250, false, 0},
               {330, 249, 330, 250, false, 0},       {330, 283, 330, 250, false, 0},
               {0, 0, 32627, 32735, false, 0},       {0, 0, 32628, 0, false, kErrOverflow},
               {0, 0, 0, 32736, false, kErrOverflow}};
  for (const auto& c : cases) {
    ScreenState screen{.MouseX = c.mouse_x, .MouseY = c.mouse_y};
    bool over = false;
    EXPECT_EQ(ErrorNumberOf([&] { over = IsOverButton(screen.MouseX, screen.MouseY, c.x, c.y); }),
              c.error)
        << c.x;
    EXPECT_EQ(over, c.over) << c.mouse_x << ", " << c.mouse_y;
  }
}

TEST(HandleMouseMove, RecordsThePositionRoundedDownOrOverflows) {
  // In the last two x is recorded before y fails.
  const struct {
    float x, y;
    int16_t mouse_x, mouse_y;
    int32_t error;
  } cases[] = {{10.7f, 3.2f, 10, 3, 0},
               {-0.5f, -0.5f, -1, -1, 0},
               {32767.5f, -32768, 32767, -32768, 0},
               {5, 32768, 5, 0, kErrOverflow},
               {5, -32769, 5, 0, kErrOverflow}};
  for (const auto& c : cases) {
    ScreenState screen;
    EXPECT_EQ(ErrorNumberOf([&] { HandleMouseMove(screen, c.x, c.y); }), c.error) << c.y;
    EXPECT_EQ(std::pair(screen.MouseX, screen.MouseY), std::pair(c.mouse_x, c.mouse_y)) << c.y;
  }
}

TEST(HandleKeyDown, EscGoesBackToTheMenuOrEndsOnItAndOtherKeysDoNothing) {
  // Screens: 0 menu, 3 credits, 4 game (Esc is read at the ticks there), 5 empty.
  const struct {
    int16_t screen_before, key, screen_after;
    bool running_after;
  } cases[] = {{0, kKeyEscape, 0, false}, {1, kKeyEscape, 0, true}, {2, kKeyEscape, 2, true},
               {3, kKeyEscape, 0, true},  {4, kKeyEscape, 4, true}, {5, kKeyEscape, 0, true},
               {0, kKeyTab, 0, true},     {3, kKeySpace, 3, true}};
  for (const auto& c : cases) {
    HeadlessSystem machine("/nonexistent");
    Program program(machine);
    program.game.Running = true;
    program.screen.Shown = c.screen_before;
    HandleKeyDown(program, c.key);
    EXPECT_EQ(program.screen.Shown, c.screen_after) << c.screen_before << " key " << c.key;
    EXPECT_EQ(program.game.Running, c.running_after) << c.screen_before << " key " << c.key;
  }
}

}  // namespace
}  // namespace kraylo::testing
