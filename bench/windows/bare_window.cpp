// The baseline of the Windows frame benchmark (tools/windows/bench-windows): a bare SDL program
// built the same way as Kraylo's Windows program, full screen on the desktop, drawing an 800 x 600
// frame (cleared, a rectangle, scaled onto the window's surface) 60 times a second, paced by
// sleeping as Kraylo paces a display without vertical sync. Ends on Esc or after the seconds given.
// Usage: bare_window [seconds]
#include <SDL.h>

#include <cstdlib>

int main(int argc, char** argv) {
  const Uint32 seconds = argc > 1 ? static_cast<Uint32>(std::atoi(argv[1])) : 60;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800,
                                        600, SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_XRGB8888);
  if (window == nullptr || frame == nullptr) return 1;
  const Uint32 start = SDL_GetTicks();
  bool running = true;
  for (Uint32 next = start; running && SDL_GetTicks() - start < seconds * 1000; next += 1000 / 60) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      running = !(event.type == SDL_QUIT ||
                  (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE));
    }
    SDL_FillRect(frame, nullptr, 0);
    const SDL_Rect box{330, 250, 140, 30};
    SDL_FillRect(frame, &box, 0x404060);
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    SDL_BlitScaled(frame, nullptr, surface, nullptr);
    SDL_UpdateWindowSurface(window);
    const Uint32 now = SDL_GetTicks();
    if (next > now) SDL_Delay(next - now);
  }
  SDL_FreeSurface(frame);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
