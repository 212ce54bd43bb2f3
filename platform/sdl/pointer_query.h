// Where the system pointer is over a window, asked of the window system itself. Kept apart from
// the rest of the backend because Xlib's headers define names (Window, Status, None) that clash
// with ours.
#pragma once

#include <SDL.h>

namespace kraylo {

// Where the pointer is over `window` (window pixels); false when it is elsewhere.
bool PointerInWindow(SDL_Window* window, int& x, int& y);

}  // namespace kraylo
