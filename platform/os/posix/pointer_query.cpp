// Where the pointer is over a window, asked of X11 itself where the
// window is on X11, else of SDL. A file of its own: Xlib's headers define
// names (Window, Status, None) that clash with the program's.
#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/os/os_services.h"

namespace kraylo {

bool PointerInWindow(SDL_Window* window, int& x, int& y) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window, &width, &height);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
    // SDL's global pointer state is a cache that only the pointer's own motion refreshes: a
    // pointer moved by a program, or one that has not moved since the window was small, reads
    // wrong there. The X server knows.
    ::Window root = 0;
    ::Window child = 0;
    int root_x = 0;
    int root_y = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &root_x, &root_y,
                      &x, &y, &buttons) == False) {
      return false;  // on another screen
    }
  } else if (SDL_GetMouseFocus() == window) {
    SDL_GetMouseState(&x, &y);
  } else {
    return false;
  }
  return x >= 0 && y >= 0 && x < width && y < height;
}

}  // namespace kraylo
