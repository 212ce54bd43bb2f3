// The credits screen: thirteen lines in three shades of green, scrolling up and wrapping.
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "display/corner_note.h"
#include "platform/platform.h"
#include "platform/run_error.h"
#include "shell/screens/screens.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// Packed red + 256 * green + 65536 * blue.
constexpr int32_t kBrightGreen = 0xFF00;
constexpr int32_t kMiddleGreen = 0xC000;
constexpr int32_t kDarkGreen = 0x8000;

enum class CreditsFont { kWindow, kFnt2 };

struct CreditsLine {
  std::string_view text;
  CreditsFont font;
  int32_t color;     // packed RGB
  int32_t x_offset;  // pixels left of the middle of the screen
  int32_t y_offset;  // pixels below CreditsY
};

// In drawing order. Headings are middle green and the names under them dark green.
constexpr std::array<CreditsLine, 13> kCredits = {{
    {"Kraylo", CreditsFont::kWindow, kBrightGreen, 150, 0},
    {"Programming", CreditsFont::kFnt2, kMiddleGreen, 120, 130},
    {"Mirzel", CreditsFont::kFnt2, kDarkGreen, 51, 190},
    {"Sounds", CreditsFont::kFnt2, kMiddleGreen, 69, 250},
    {"Mirzel", CreditsFont::kFnt2, kDarkGreen, 51, 310},
    {"Graphics", CreditsFont::kFnt2, kMiddleGreen, 84, 370},
    {"Mirzel", CreditsFont::kFnt2, kDarkGreen, 51, 430},
    {"Developed Using:", CreditsFont::kFnt2, kMiddleGreen, 138, 490},
    {"C++20", CreditsFont::kFnt2, kDarkGreen, 204, 550},
    {"SDL2", CreditsFont::kFnt2, kDarkGreen, 174, 610},
    {"GCC", CreditsFont::kFnt2, kDarkGreen, 165, 670},
    {"Thanks", CreditsFont::kFnt2, kMiddleGreen, 75, 730},
    {"Nobody", CreditsFont::kFnt2, kDarkGreen, 75, 790},
}};

// Once the title is this far above the top edge the credits start again from the bottom.
constexpr int32_t kWrapAbove = -800;  // pixels
constexpr int32_t kBaseStep = 6;      // pixels per frame, before the frame-rate share

Font FontOf(CreditsFont font) { return font == CreditsFont::kWindow ? WindowFont() : Fnt2Font(); }

int32_t LeftOf(const CreditsLine& line, int32_t screen_width) {
  return ToInt32(screen_width / 2.0 - line.x_offset);
}

// The step is not scaled to elapsed time: a faster display scrolls further in every frame.
void Scroll(Program& program) {
  ScreenState& screen = program.screen;
  Guarded([&] {
    screen.CreditsY = ToInt32(Sub32(screen.CreditsY, kBaseStep) - program.fps.FPS * 0.1);
  });
  if (screen.CreditsY < kWrapAbove) screen.CreditsY = program.game.ScreenHeight;
}

}  // namespace

void DrawCredits(Program& program) {
  Scroll(program);
  DisplayState& display = program.display;
  const ScreenState& screen = program.screen;
  const int32_t width = program.game.ScreenWidth;
  // Font and colour are set only when they change from one line to the next.
  std::optional<CreditsFont> font;
  std::optional<int32_t> color;
  for (const CreditsLine& line : kCredits) {
    if (font != line.font) {
      font = line.font;
      Guarded([&] { BackBuffer(display).SetFont(FontOf(line.font)); });
    }
    if (color != line.color) {
      color = line.color;
      Guarded([&] { BackBuffer(display).SetForeColor(line.color); });
    }
    Guarded([&] {
      BackBuffer(display).DrawText(LeftOf(line, width), Add32(screen.CreditsY, line.y_offset),
                                   line.text);
    });
  }
}

std::vector<Rect> CreditsAreas(Program& program) {
  std::vector<Rect> areas;
  for (const CreditsLine& line : kCredits) {
    Guarded([&] {
      areas.push_back(TextArea(BackBuffer(program.display), FontOf(line.font),
                               LeftOf(line, program.game.ScreenWidth),
                               Add32(program.screen.CreditsY, line.y_offset), line.text));
    });
  }
  return areas;
}

}  // namespace kraylo
