#include <SDL.h>

#include "platform/os/os_services.h"

namespace kraylo {

// Windows has no device node to look for: its graphics drivers are what SDL can render through.
// A renderer SDL offers as accelerated (Direct3D, OpenGL) may have a graphics processor behind
// it; whether one is there, making SDL's renderer tells.
bool MayHaveGpu() {
  const int count = SDL_GetNumRenderDrivers();
  for (int index = 0; index < count; ++index) {
    SDL_RendererInfo info{};
    if (SDL_GetRenderDriverInfo(index, &info) == 0 &&
        (info.flags & SDL_RENDERER_ACCELERATED) != 0) {
      return true;
    }
  }
  return false;
}

}  // namespace kraylo
