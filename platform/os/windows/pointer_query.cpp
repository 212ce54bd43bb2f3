// Where the pointer is over a window, on Windows: SDL's global mouse state asks the system itself
// there (GetCursorPos), so it is right even when the pointer has not moved over our window.
#include <SDL.h>

#include "platform/os/os_services.h"

namespace kraylo {

bool PointerInWindow(SDL_Window* window, int& x, int& y) {
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  SDL_GetWindowSize(window, &width, &height);
  SDL_GetWindowPosition(window, &left, &top);
  int global_x = 0;
  int global_y = 0;
  SDL_GetGlobalMouseState(&global_x, &global_y);
  x = global_x - left;
  y = global_y - top;
  return x >= 0 && y >= 0 && x < width && y < height;
}

}  // namespace kraylo
