// The process around the program: its arguments, and where a start-up error is seen.
#include <SDL.h>

#include <cstdio>

#include "platform/os/os_services.h"
#include "platform/sdl/sdl_system.h"

namespace kraylo {

std::vector<std::string> ProcessArguments(int argc, char** argv) {
  return CommandLineArguments(argc, argv);
}

void ShowStartError(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  if (StandardErrorUnseen()) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Kraylo", text.c_str(), nullptr);
  }
}

}  // namespace kraylo
