// Shows a menu-like 800 x 600 frame full screen on a real X display for a screenshot: a dark blue
// field (black letterbox bars stand out), the menu buttons lit under the mouse, ball 1 at
// (150, 150), ball 2 losing at (650, 150), white text and the pointer. Prints "mouse X Y" (frame
// pixels) for each mouse move, "ready" once frames are shown, "desktop WxH" at the end.
// Usage: display_probe <source folder> <bits> <seconds> [renderer]   (renderer: force SDL's
// renderer path instead of the one the screen would choose)
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/devices/display_device.h"
#include "platform/graphics/text_renderer.h"
#include "platform/sdl/sdl_screen.h"

namespace kraylo {
namespace {

struct Sheets {
  std::unique_ptr<Surface> balls, buttons, cursor;
};

void DrawFrame(Surface& back, const Sheets& sheets, int mouse_x, int mouse_y) {
  back.Fill(Rect{0, 0, 800, 600}, back.MapColor(0x300000));
  for (int32_t index = 1; index <= 5; ++index) {
    const int32_t y = 250 + 40 * (index - 1);
    const bool lit = 330 <= mouse_x && mouse_x <= 470 && y <= mouse_y && mouse_y <= y + 32;
    const int32_t left = lit ? 140 : 0;
    back.CopyArea(330, y, *sheets.buttons, Rect{left, (index - 1) * 32, left + 140, index * 32});
  }
  back.CopyArea(150 - 51, 150 - 51, *sheets.balls, Rect{102, 0, 204, 102});
  back.CopyArea(650 - 51, 150 - 51, *sheets.balls, Rect{0, 102, 102, 204});
  back.SetFont(Font{"Tahoma", 9, false});
  back.SetForeColor(0xFFFFFF);
  back.DrawText(10, 10, "FPS: 60.0");
  if (mouse_x >= 0 && mouse_y >= 0 && mouse_x <= 770 && mouse_y <= 570) {
    back.CopyArea(mouse_x, mouse_y, *sheets.cursor, Rect{0, 0, 30, 30});
  }
}

void Probe(SdlScreen& screen, const std::string& folder, int32_t bits, double seconds) {
  auto text = CreateTextRenderer();
  Faults faults;
  auto display = CreateDisplay(screen, *text, faults);
  Surface desktop(417, 334, 32, text.get());
  desktop.Fill(Rect{0, 0, 417, 334}, 0xC0C0C0);
  screen.PresentDesktop(desktop);
  auto device = display->Create();
  device->SetCooperativeLevel(1, DisplayDevice::kFullScreenExclusive);
  device->SetDisplayMode(800, 600, bits);
  auto primary = device->CreatePrimarySurface();
  auto load = [&](const char* name) {
    const Bitmap bitmap = display->LoadBitmap(folder + "/dorvane/graph/" + name);
    auto surface = device->CreateSurface(bitmap.width, bitmap.height);
    surface->CopyFromBitmap(bitmap);
    surface->SetColorKey(0);
    return surface;
  };
  const Sheets sheets{load("balls.bmp"), load("buttons.bmp"), load("cursor.bmp")};
  int mouse_x = -100, mouse_y = -100;
  const Uint64 start = SDL_GetTicks64();
  for (int frame = 0; static_cast<double>(SDL_GetTicks64() - start) < seconds * 1000; ++frame) {
    for (SDL_Event event; SDL_PollEvent(&event);) {
      if (event.type != SDL_MOUSEMOTION) continue;
      float x = 0, y = 0;
      screen.MapMouse(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y), x, y);
      mouse_x = static_cast<int>(x);
      mouse_y = static_cast<int>(y);
      std::printf("mouse %d %d\n", mouse_x, mouse_y);
    }
    DrawFrame(primary->BackBuffer(), sheets, mouse_x, mouse_y);
    primary->Flip();
    if (frame == 30) std::printf("ready %s\n", screen.PathName());
    std::fflush(stdout);
  }
  device->RestoreDisplayMode();
}

}  // namespace
}  // namespace kraylo

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "Usage: %s <source folder> <bits> <seconds> [renderer]\n", argv[0]);
    return 2;
  }
  SDL_Window* window = nullptr;
  if (SDL_Init(SDL_INIT_VIDEO) == 0) {
    window = SDL_CreateWindow("Kraylo display probe", SDL_WINDOWPOS_CENTERED,
                              SDL_WINDOWPOS_CENTERED, 417, 334, SDL_WINDOW_SHOWN);
  }
  if (window == nullptr) {
    std::fprintf(stderr, "no window: %s\n", SDL_GetError());
    return 1;
  }
  int status = 0;
  try {
    kraylo::SdlScreen screen(window, argc == 5 && std::string(argv[4]) == "renderer"
                                         ? kraylo::PresentPath::kRenderer
                                         : kraylo::PresentPath::kAuto);
    kraylo::Probe(screen, argv[1], std::atoi(argv[2]), std::atof(argv[3]));
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    std::printf("desktop %dx%d\n", w, h);
  } catch (const kraylo::RunError& error) {
    std::fprintf(stderr, "Error %d: %s\n", error.number(), error.description().c_str());
    status = 1;
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return status;
}
