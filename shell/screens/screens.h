// The screens the frame loop draws into the back buffer, one guarded call at a time.
#pragma once

#include <cstdint>

#include "shell/program.h"

namespace kraylo {

// The five menu buttons at MenuX, each lit while the pointer is over it.
void DrawMenu(Program& program);
// Balls 1 and 2 and, when ShowDebug is on, the overlay; `saved_fore_color` (packed RGB) is the
// frame loop's own slot for the colour the overlay puts back.
void DrawGameScreen(Program& program, int32_t& saved_fore_color);
// Scrolls the credits by one step and draws their thirteen lines.
void DrawCredits(Program& program);
// "Sound off" or "Sound on" for a while after the mute key, on every screen.
void DrawSoundNote(Program& program);
// The address screen's lines, drawn as the game screen's messages are.
void DrawAddressScreen(Program& program);

}  // namespace kraylo
