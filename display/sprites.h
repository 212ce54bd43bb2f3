// Sprite sheets and the drawing primitives of the frame loop. Every failure raises; nothing is
// ever drawn in part.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "display/display_state.h"
#include "game/balls.h"
#include "platform/platform.h"

namespace kraylo {

// Loads the sheet at `file` (relative to the program folder, "\dorvane\graph\balls.bmp") into an
// off-screen surface of the display's format with `color_key` as its transparent pixel value.
// Raises when the display is absent or the file is missing or not a bitmap.
std::unique_ptr<Surface> CreateSurface(System& system, DisplayState& display, std::string_view file,
                                       uint32_t color_key);

// Fills the whole surface with black; raises kErrNoSurface when it is absent.
void ClearBackBuffer(Surface* surface);

// Copies cell (row, col) of the ball sheet centred on ball `index`.
void DrawBall(DisplayState& display, const GameModel& game, int16_t index, int16_t row,
              int16_t col);

// A menu button's sprite, pixels.
inline constexpr int16_t kButtonWidth = 140;
inline constexpr int16_t kButtonHeight = 32;

// True when the pointer (mouse_x, mouse_y) lies on the button whose top-left is (x, y): the
// 141 x 33 pixels from (x, y) to (x + 140, y + 32), all edges included. Raises 6 when x + 140 or
// y + 32 overflows.
bool IsOverButton(int16_t mouse_x, int16_t mouse_y, int16_t x, int16_t y);

// Copies menu button `index` (1 to 5) at (x, y), highlighted when the pointer is over it.
void DrawButton(DisplayState& display, int16_t mouse_x, int16_t mouse_y, int16_t x, int16_t y,
                int16_t index);

// Copies the size x size cell at (left, top) of the pointer sheet to the pointer position.
void DrawCursor(DisplayState& display, int16_t mouse_x, int16_t mouse_y, int32_t left, int32_t top,
                int32_t size);

}  // namespace kraylo
