#include "display/sprites.h"

#include <string>

#include "support/config.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

constexpr int16_t kBallCell = 102;  // pixels, square: a ball's diameter

// Copies `rect` of `sheet` to (x, y) of the back buffer, colour-keyed; raises when either surface
// is absent or a rectangle does not fit.
void CopyCell(DisplayState& display, const std::unique_ptr<Surface>& sheet, const char* sheet_name,
              int32_t x, int32_t y, const Rect& rect) {
  Surface& back = BackBuffer(display);
  if (!sheet) {
    Raise(kErrNoSurface,
          std::string("The ") + sheet_name + " cannot be drawn: its sprite sheet was not loaded");
  }
  back.CopyArea(x, y, *sheet, rect);
}

}  // namespace

std::unique_ptr<Surface> CreateSurface(System& system, DisplayState& display, std::string_view file,
                                       uint32_t color_key) {
  const std::string path = ProgramPath(system.files(), file);
  DisplayDevice& device = SetUpPart(display.device.get());
  const Bitmap bitmap = system.display().LoadBitmap(path);
  std::unique_ptr<Surface> surface;
  try {
    // A missing or broken file gives a bitmap of 0 x 0, which no surface can hold.
    surface = device.CreateSurface(bitmap.width, bitmap.height);
  } catch (const RunError& error) {
    Raise(error.number(),
          "The sprite sheet " + path +
              " could not be loaded (missing, truncated or not a bitmap): " + error.description());
  }
  surface->CopyFromBitmap(bitmap);
  surface->SetColorKey(color_key);
  return surface;
}

void ClearBackBuffer(Surface* surface) {
  Surface& back = SetUpPart(surface);
  back.Fill(Rect{0, 0, back.width(), back.height()}, back.MapColor(0));
}

void DrawBall(DisplayState& display, const GameModel& game, int16_t index, int16_t row,
              int16_t col) {
  const Rect cell{Mul16(col, kBallCell), Mul16(row, kBallCell),
                  Add16(Mul16(col, kBallCell), kBallCell), Add16(Mul16(row, kBallCell), kBallCell)};
  const TBall& ball = game.Balls(index);
  // The cell's top-left corner lies one radius above and left of the centre.
  const int32_t x = ToInt32(ball.X - kBallRadius);
  const int32_t y = ToInt32(ball.Y - kBallRadius);
  CopyCell(display, display.ball_sheet, "ball", x, y, cell);
}

bool IsOverButton(int16_t mouse_x, int16_t mouse_y, int16_t x, int16_t y) {
  const int16_t right = Add16(x, kButtonWidth);
  const int16_t bottom = Add16(y, kButtonHeight);
  return x <= mouse_x && mouse_x <= right && y <= mouse_y && mouse_y <= bottom;
}

void DrawButton(DisplayState& display, int16_t mouse_x, int16_t mouse_y, int16_t x, int16_t y,
                int16_t index) {
  const int16_t top = Mul16(Sub16(index, 1), kButtonHeight);
  const int16_t bottom = Mul16(index, kButtonHeight);
  // The highlighted look is the sheet's second column.
  const int32_t left = IsOverButton(mouse_x, mouse_y, x, y) ? kButtonWidth : 0;
  CopyCell(display, display.button_sheet, "menu button", x, y,
           Rect{left, top, left + kButtonWidth, bottom});
}

void DrawCursor(DisplayState& display, int16_t mouse_x, int16_t mouse_y, int32_t left, int32_t top,
                int32_t size) {
  const Rect cell{left, top, Add32(left, size), Add32(top, size)};
  CopyCell(display, display.cursor_sheet, "pointer", mouse_x, mouse_y, cell);
}

}  // namespace kraylo
