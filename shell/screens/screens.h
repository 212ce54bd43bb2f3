// The screens the frame loop draws into the back buffer, one guarded call at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/program.h"

namespace kraylo {

// The five menu buttons at MenuX, each lit while the pointer is over it.
void DrawMenu(Program& program);
// Balls 1 and 2 and, when ShowDebug is on, the overlay; `saved_fore_color` (packed RGB) is the
// frame loop's own slot for the colour the overlay puts back.
void DrawGameScreen(Program& program, int32_t& saved_fore_color);
// Scrolls the credits by one step and draws their thirteen lines.
void DrawCredits(Program& program);
// Where the credits' lines are now (pixels), for what is drawn over them to keep clear.
std::vector<Rect> CreditsAreas(Program& program);
// "Sound off", "Sound on" or "No sound" for a while after the mute key, on every screen, at the
// top right and clear of the buttons, the credits and the overlay.
void DrawSoundNote(Program& program);
// The address screen's lines, drawn as the game screen's messages are.
void DrawAddressScreen(Program& program);

}  // namespace kraylo
