// The real backend's window on SDL's dummy video driver: frames full screen and, after Alt+Enter,
// in a window of their own, with the mouse in frame pixels either way (the dummy driver cannot
// make a window resizable: the real-window tests see that); key events as the window core sees
// them; and which video drivers may show the game.
#include "platform/sdl/sdl_screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>

#include "platform/sdl/sdl_events.h"
#include "platform/sdl/video_driver.h"

namespace kraylo {
namespace {

using Point = std::pair<int, int>;

// SDL's video on the dummy driver, with one window.
struct DummyVideo {
  DummyVideo() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window = SDL_CreateWindow("Kraylo", 0, 0, 417, 334, SDL_WINDOW_HIDDEN);
    EXPECT_NE(window, nullptr) << SDL_GetError();
  }
  ~DummyVideo() {
    screen.reset();
    SDL_DestroyWindow(window);
    SDL_Quit();
  }
  Point Size() const {
    Point size;
    SDL_GetWindowSize(window, &size.first, &size.second);
    return size;
  }
  // The frame pixel the mouse at window pixel (x, y) is on.
  Point At(float x, float y) const {
    float frame_x = 0;
    float frame_y = 0;
    screen->MapMouse(x, y, frame_x, frame_y);
    return {static_cast<int>(frame_x), static_cast<int>(frame_y)};
  }

  SDL_Window* window = nullptr;
  std::unique_ptr<SdlScreen> screen;
};

TEST(SdlScreen, AltEnterShowsTheFramesInAWindowOfTheirSizeAndBackWithTheMouseInFramePixels) {
  DummyVideo video;
  video.screen = std::make_unique<SdlScreen>(video.window);
  SDL_DisplayMode desktop{};
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  const Point monitor{desktop.w, desktop.h};

  video.screen->ToggleWindowed();
  EXPECT_FALSE(video.screen->IsWindowed()) << "nothing to switch before the frames";
  EXPECT_EQ(video.At(10, 20), (Point{10, 20})) << "desktop pixels 1:1";

  video.screen->EnterFullScreen(400, 300);
  ASSERT_EQ(video.Size(), monitor);
  EXPECT_FALSE(video.screen->IsWindowed());
  // The frame scaled to the monitor with its shape kept: the centre is the frame's centre.
  EXPECT_EQ(video.At(static_cast<float>(monitor.first) / 2, static_cast<float>(monitor.second) / 2),
            (Point{200, 150}));

  video.screen->ToggleWindowed();
  EXPECT_TRUE(video.screen->IsWindowed());
  EXPECT_TRUE(video.screen->IsFullScreen()) << "frames are still shown";
  EXPECT_EQ(video.Size(), (Point{400, 300}));
  EXPECT_EQ(video.At(200, 150), (Point{200, 150}));
  EXPECT_EQ(video.At(399, 0), (Point{399, 0}));
  // Made taller by the player: bars above and below, the frame in the middle.
  SDL_SetWindowSize(video.window, 400, 500);
  EXPECT_EQ(video.At(200, 250), (Point{200, 150}));
  EXPECT_EQ(video.At(0, 100), (Point{0, 0}));
  EXPECT_EQ(video.At(0, 20), (Point{0, 0})) << "in the bar: the nearest edge";

  video.screen->ToggleWindowed();
  EXPECT_FALSE(video.screen->IsWindowed());
  EXPECT_EQ(video.Size(), monitor);
  EXPECT_EQ(video.At(static_cast<float>(monitor.first) / 2, static_cast<float>(monitor.second) / 2),
            (Point{200, 150}));

  // Leaving from the window puts the desktop window back as it was.
  video.screen->ToggleWindowed();
  video.screen->LeaveFullScreen();
  EXPECT_FALSE(video.screen->IsWindowed());
  EXPECT_EQ(video.Size(), (Point{417, 334}));
}

TEST(SdlScreen, AFrameLargerThanTheDesktopGetsAWindowOfItsShapeThatFits) {
  DummyVideo video;
  video.screen = std::make_unique<SdlScreen>(video.window);
  SDL_Rect usable{};
  ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
  video.screen->EnterFullScreen(usable.w * 2, usable.h);
  video.screen->ToggleWindowed();
  EXPECT_EQ(video.Size(), (Point{usable.w, usable.h / 2}));
}

TEST(SdlEvents, KeyRepeatsAreMarkedAndAltEnterReachesTheCoreAsAKey) {
  DummyVideo video;
  video.screen = std::make_unique<SdlScreen>(video.window);
  const Uint32 id = SDL_GetWindowID(video.window);
  const struct {
    SDL_Scancode scancode;
    SDL_Keycode symbol;
    Uint16 modifiers;
    Uint8 repeat;
    int16_t code, shift;
  } cases[] = {
      {SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT, 0, kKeyReturn, kShiftAlt},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_RALT, 1, kKeyReturn, kShiftAlt},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_LALT, 0, kKeyReturn, kShiftAlt},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE, 0, kKeyReturn, 0},
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_NONE, 1, kKeyEscape, 0},
  };
  for (const auto& c : cases) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = id;
    event.key.repeat = c.repeat;
    event.key.keysym.scancode = c.scancode;
    event.key.keysym.sym = c.symbol;
    event.key.keysym.mod = c.modifiers;
    const std::optional<InputEvent> input = TranslateEvent(event, id, *video.screen);
    ASSERT_TRUE(input.has_value());
    EXPECT_EQ(std::tuple(input->key_code, input->shift, input->repeat),
              std::tuple(c.code, c.shift, c.repeat != 0));
  }
}

TEST(VideoDriver, OnlyDriversThatShowSomethingUnlessTheUnseenOneIsAskedForByName) {
  const struct {
    const char* driver;
    const char* requested;  // SDL_VIDEODRIVER
    bool unseen;
  } cases[] = {
      {"x11", nullptr, false},           {"wayland", "", false},
      {"KMSDRM", nullptr, false},        {"offscreen", nullptr, true},
      {"offscreen", "", true},           {"offscreen", "x11", true},
      {"offscreen", "offscreen", false}, {"offscreen", "x11, Offscreen", false},
      {"dummy", nullptr, true},          {"dummy", "dummy", false},
      {"dummy", "offscreen", true},      {"dummy", "dummyx", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunsUnseen(c.driver, c.requested), c.unseen)
        << c.driver << " with " << (c.requested != nullptr ? c.requested : "(unset)");
  }
}

}  // namespace
}  // namespace kraylo
