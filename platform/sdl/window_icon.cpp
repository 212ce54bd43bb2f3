#include "platform/sdl/window_icon.h"

#include <SDL.h>

#include <cstdint>

namespace kraylo {
namespace {

// The side twice, then RGBA rows: drawn by the build's icon tool.
constexpr uint8_t kIcon[] = {
#include "window_icon.inc"
};

}  // namespace

void SetWindowIcon(SDL_Window* window) {
  const int side = kIcon[0];
  // SDL copies the pixels; without an icon the window is still a window, so a failure is no error.
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint8_t*>(kIcon + 2), side, side, 32, side * 4, SDL_PIXELFORMAT_RGBA32);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

}  // namespace kraylo
