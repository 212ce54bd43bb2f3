// The program's own icon on its window, for task bars and window switchers: the picture the
// install ships as its desktop icon, compiled in so that it needs no file at run time.
#pragma once

struct SDL_Window;

namespace kraylo {

void SetWindowIcon(SDL_Window* window);

}  // namespace kraylo
