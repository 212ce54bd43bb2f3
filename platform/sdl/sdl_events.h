// SDL's events as the program's input values, at the boundary of the SDL backend.
#pragma once

#include <SDL.h>

#include <optional>

#include "platform/events.h"

namespace kraylo {

class SdlScreen;

// The shift state (1 Shift, 2 Ctrl, 4 Alt, summed) of SDL key modifiers.
int16_t ShiftOf(Uint16 modifiers);
// The program's mouse button of an SDL button; 0 for buttons the program has no name for.
int16_t MouseButtonOf(Uint8 sdl_button);
// The program's held-buttons sum of an SDL button mask.
int16_t MouseButtonsOf(Uint32 sdl_mask);

// The input value of an SDL event for the window `window_id`, with mouse positions in the pixels
// of the picture `screen` shows; nothing for events the window has no use for.
std::optional<InputEvent> TranslateEvent(const SDL_Event& event, Uint32 window_id,
                                         const SdlScreen& screen);

}  // namespace kraylo
