#include "platform/sdl/sdl_screen.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/graphics/letterbox.h"
#include "platform/os/os_services.h"
#include "platform/run_error.h"
#include "platform/sdl/frame_copy.h"

namespace kraylo {
namespace {

constexpr int kDefaultRefreshHz = 60;
constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER

// The GL_RENDERER text of the current GL context, or "" when there is none.
std::string CurrentGlRenderer() {
  using GetString = const unsigned char*(SDLCALL*)(unsigned);
  auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (get_string == nullptr) return "";
  const unsigned char* name = get_string(kGlRenderer);
  return name == nullptr ? "" : reinterpret_cast<const char*>(name);
}

// The GL_RENDERER text of a GL context made for a hidden window and dropped again, or "" when
// the machine has no GL. SDL's Direct3D renderer cannot say which adapter draws for it, but the
// system's GL names the same one (and under Wine, Direct3D is drawn by that GL).
std::string SystemGlRenderer() {
  SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (probe == nullptr) return "";
  std::string name;
  if (SDL_GLContext context = SDL_GL_CreateContext(probe)) {
    name = CurrentGlRenderer();
    SDL_GL_DeleteContext(context);
  }
  SDL_DestroyWindow(probe);
  return name;
}

// The rasterisers that run on the CPU (Mesa's, and Windows' own GL where the adapter has no
// driver of its maker's): SDL's textured path through them costs several times the time and
// memory of our own copy into the window's framebuffer.
bool IsSoftwareRasteriser(const std::string& gl_renderer) {
  for (const char* name : {"llvmpipe", "softpipe", "swrast", "GDI Generic"}) {
    if (gl_renderer.find(name) != std::string::npos) return true;
  }
  return false;
}

[[noreturn]] void RaisePresent(const std::string& what) {
  Raise(kErrPresent, "The picture could not be shown: " + what + ": " + SDL_GetError());
}

bool IsXrgb32(const SDL_Surface& surface) {
  return surface.format->format == SDL_PIXELFORMAT_ARGB8888 ||
         surface.format->format == SDL_PIXELFORMAT_RGB888;
}

}  // namespace

// Keeps the system pointer where the player left it across a switch of the window to or from
// full screen: SDL 2.26 on X11 moves it to the centre of a window that had it and changes its
// size. The global state asks the window system itself, not SDL's cache.
class PointerKept {
 public:
  PointerKept() { SDL_GetGlobalMouseState(&x_, &y_); }
  ~PointerKept() {
    int x = 0;
    int y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    if (x != x_ || y != y_) SDL_WarpMouseGlobal(x_, y_);
  }
  PointerKept(const PointerKept&) = delete;
  PointerKept& operator=(const PointerKept&) = delete;

 private:
  int x_ = 0;
  int y_ = 0;
};

struct SdlScreen::Impl {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;  // null on the window-surface path
  SDL_Texture* texture = nullptr;
  int32_t texture_width = 0;
  int32_t texture_height = 0;
  std::string path_name;

  // What the window shows, and how.
  enum class Mode {
    kDesktop,     // the desktop window's own picture
    kFullScreen,  // frames on the whole monitor, as the window system's full screen
    kCovering,    // frames on the whole monitor, as a borderless window of the monitor's size
    kWindowed,    // frames in a desktop window of their own (Alt+Enter)
  };
  Mode mode = Mode::kDesktop;
  bool cover_needed = false;  // learnt once: no window manager carries full screen out here
  int32_t frame_width = 0;
  int32_t frame_height = 0;
  SDL_Rect windowed_place{};  // the desktop window's place, put back on leaving full screen

  bool pacing = true;
  bool vsync = false;
  std::chrono::steady_clock::duration refresh_period =
      std::chrono::microseconds(1000000 / kDefaultRefreshHz);
  std::chrono::steady_clock::time_point next_present{};

  FrameCopier copier;
  // Window-surface path: the bars are painted only when the window's picture changed shape.
  SDL_Surface* painted_surface = nullptr;
  Letterbox painted_box;
  std::vector<uint32_t> scratch;  // for window surfaces that are not 32-bit

  // The machine's GL is asked on a window of its own before any renderer touches ours: a renderer
  // made on the window and dropped again leaves it costlier to draw into (under Wine, 40 % more
  // CPU on the menu), and SDL's renderer over a software GL costs many times our own copy.
  void ChoosePath(PresentPath path) {
    std::string gl;
    path_name = "window surface";
    if (path == PresentPath::kAuto) {
      const bool may_have_gpu = MayHaveGpu();
      if (may_have_gpu) gl = SystemGlRenderer();
      path = may_have_gpu && !IsSoftwareRasteriser(gl) ? PresentPath::kRenderer
                                                       : PresentPath::kWindowSurface;
      if (!gl.empty()) path_name = "window surface (GL is " + gl + ")";
    }
    if (path == PresentPath::kRenderer) {
      renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
      if (renderer != nullptr) {
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer, &info);
        const std::string driver = info.name != nullptr ? info.name : "";
        if (gl.empty())
          gl = driver.rfind("opengl", 0) == 0 ? CurrentGlRenderer() : SystemGlRenderer();
        path_name = "renderer " + driver + (gl.empty() ? "" : " (" + gl + ")");
        return;
      }
    }
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }

  // Lets the window manager resize the window; false when it has not within a quarter second.
  bool WaitForSize(int width, int height) const {
    constexpr Uint64 kPatienceMs = 250;
    const Uint64 start = SDL_GetTicks64();
    while (true) {
      SDL_PumpEvents();
      int w = 0;
      int h = 0;
      SDL_GetWindowSize(window, &w, &h);
      if (w == width && h == height) return true;
      if (SDL_GetTicks64() - start >= kPatienceMs) return false;
      SDL_Delay(5);
    }
  }

  // The monitor the window is on, in desktop pixels; empty when SDL cannot say.
  SDL_Rect MonitorBounds() const {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &bounds) != 0) {
      return {};
    }
    return bounds;
  }

  // Puts the window over its whole monitor: the window system's full screen or, where no window
  // manager carries that out (a bare X session), a borderless window of the monitor's size.
  void FillMonitor() {
    const SDL_Rect bounds = MonitorBounds();
    // A bare X session has no window manager to move a full-screen window onto its monitor.
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    if (!cover_needed) {
      if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        Raise(kErrNoVideo,
              std::string("The window could not be put full screen: ") + SDL_GetError());
      }
      if (WaitForSize(bounds.w, bounds.h)) {
        mode = Mode::kFullScreen;
        return;
      }
      SDL_SetWindowFullscreen(window, 0);
      cover_needed = true;
    }
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
    mode = Mode::kCovering;
  }

  // Takes the window off the whole monitor again, wherever it was put; the caller sets the mode.
  void UnfillMonitor() {
    if (SDL_SetWindowFullscreen(window, 0) != 0) {
      Raise(kErrNoVideo, std::string("The window could not leave full screen: ") + SDL_GetError());
    }
    if (mode == Mode::kCovering) SDL_SetWindowBordered(window, SDL_TRUE);
  }

  // Whether frames are shown, rather than the desktop window's own picture.
  bool ShowsFrames() const { return mode != Mode::kDesktop; }

  // A resizable desktop window of the frame's size, or of its shape where the desktop is smaller.
  void ShowFramesWindowed() {
    UnfillMonitor();
    SDL_Rect usable{};
    const int display = std::max(SDL_GetWindowDisplayIndex(window), 0);
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = MonitorBounds();
    Letterbox size{0, 0, frame_width, frame_height};
    if (frame_width > usable.w || frame_height > usable.h) {
      size = FitFrame(frame_width, frame_height, usable.w, usable.h);
    }
    SDL_SetWindowResizable(window, SDL_TRUE);
    SDL_SetWindowSize(window, size.width, size.height);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    WaitForSize(size.width, size.height);
    mode = Mode::kWindowed;
  }

  // Vertical sync only while full screen, so that desktop repaints never wait for the display.
  void UseVsync(bool on) {
    vsync = renderer != nullptr && SDL_RenderSetVSync(renderer, on ? 1 : 0) == 0 && on;
  }

  void ReadRefreshRate() {
    const int display = std::max(SDL_GetWindowDisplayIndex(window), 0);
    SDL_DisplayMode display_mode{};
    const int hz =
        SDL_GetCurrentDisplayMode(display, &display_mode) == 0 && display_mode.refresh_rate > 0
            ? display_mode.refresh_rate
            : kDefaultRefreshHz;
    refresh_period = std::chrono::microseconds(1000000 / hz);
  }

  // Sleeps until the display's next refresh where nothing else waits for it.
  void Pace() {
    if (!pacing || vsync) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < next_present) {
      std::this_thread::sleep_until(next_present);
      next_present += refresh_period;
    } else {
      next_present = now + refresh_period;
    }
  }

  void Show(const Surface& picture, int32_t width, int32_t height, bool scaled) {
    if (renderer != nullptr) {
      ShowWithRenderer(picture, width, height, scaled);
    } else {
      ShowInWindowSurface(picture, width, height, scaled);
    }
  }

  void ShowWithRenderer(const Surface& picture, int32_t width, int32_t height, bool scaled) {
    if (texture == nullptr || texture_width != width || texture_height != height) {
      if (texture != nullptr) SDL_DestroyTexture(texture);
      texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                  width, height);
      if (texture == nullptr)
        RaisePresent("no texture of " + std::to_string(width) + "x" + std::to_string(height));
      texture_width = width;
      texture_height = height;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture, nullptr, &pixels, &pitch) != 0) RaisePresent("texture lock");
    copier.Copy(picture, width, height, Letterbox{0, 0, width, height},
                static_cast<uint8_t*>(pixels), pitch);
    SDL_UnlockTexture(texture);
    int output_width = 0;
    int output_height = 0;
    SDL_GetRendererOutputSize(renderer, &output_width, &output_height);
    const Letterbox box = scaled ? FitFrame(width, height, output_width, output_height)
                                 : Letterbox{0, 0, width, height};
    const SDL_Rect target{box.x, box.y, box.width, box.height};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    if (SDL_RenderClear(renderer) != 0 ||
        SDL_RenderCopy(renderer, texture, nullptr, &target) != 0) {
      RaisePresent("render copy");
    }
    SDL_RenderPresent(renderer);
  }

  void ShowInWindowSurface(const Surface& picture, int32_t width, int32_t height, bool scaled) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr) RaisePresent("no window surface");
    const Letterbox box =
        scaled ? FitFrame(width, height, surface->w, surface->h)
               : Letterbox{0, 0, std::min(width, surface->w), std::min(height, surface->h)};
    if (!scaled) {
      // A desktop picture larger than the window shows its top-left part.
      width = box.width;
      height = box.height;
    }
    const bool repaint_bars = surface != painted_surface || !(box == painted_box);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) RaisePresent("surface lock");
    if (repaint_bars) SDL_FillRect(surface, nullptr, 0);
    auto* pixels = static_cast<uint8_t*>(surface->pixels);
    if (IsXrgb32(*surface)) {
      copier.Copy(picture, width, height, box, pixels, surface->pitch);
    } else {
      scratch.resize(static_cast<size_t>(box.width) * static_cast<size_t>(box.height));
      const int32_t scratch_pitch = box.width * 4;
      copier.Copy(picture, width, height, Letterbox{0, 0, box.width, box.height},
                  reinterpret_cast<uint8_t*>(scratch.data()), scratch_pitch);
      uint8_t* target = pixels + static_cast<int64_t>(box.y) * surface->pitch +
                        static_cast<int64_t>(box.x) * surface->format->BytesPerPixel;
      SDL_ConvertPixels(box.width, box.height, SDL_PIXELFORMAT_ARGB8888, scratch.data(),
                        scratch_pitch, surface->format->format, target, surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    const SDL_Rect whole{0, 0, surface->w, surface->h};
    const SDL_Rect image{box.x, box.y, box.width, box.height};
    if (SDL_UpdateWindowSurfaceRects(window, repaint_bars ? &whole : &image, 1) != 0) {
      RaisePresent("window update");
    }
    painted_surface = surface;
    painted_box = box;
  }
};

SdlScreen::SdlScreen(SDL_Window* window, PresentPath path) : impl_(std::make_unique<Impl>()) {
  impl_->window = window;
  impl_->ChoosePath(path);
  impl_->UseVsync(false);
}

SdlScreen::~SdlScreen() {
  if (impl_->texture != nullptr) SDL_DestroyTexture(impl_->texture);
  if (impl_->renderer != nullptr) SDL_DestroyRenderer(impl_->renderer);
}

void SdlScreen::EnterFullScreen(int32_t width, int32_t height) {
  const PointerKept pointer;
  Impl& s = *impl_;
  if (!s.ShowsFrames()) {
    SDL_GetWindowPosition(s.window, &s.windowed_place.x, &s.windowed_place.y);
    SDL_GetWindowSize(s.window, &s.windowed_place.w, &s.windowed_place.h);
  }
  if (s.mode == Impl::Mode::kWindowed) SDL_SetWindowResizable(s.window, SDL_FALSE);
  s.FillMonitor();
  SDL_RaiseWindow(s.window);
  s.frame_width = width;
  s.frame_height = height;
  s.ReadRefreshRate();
  s.UseVsync(true);
}

void SdlScreen::LeaveFullScreen() {
  Impl& s = *impl_;
  if (!s.ShowsFrames()) return;
  const PointerKept pointer;
  s.UnfillMonitor();
  SDL_SetWindowResizable(s.window, SDL_FALSE);
  SDL_SetWindowSize(s.window, s.windowed_place.w, s.windowed_place.h);
  SDL_SetWindowPosition(s.window, s.windowed_place.x, s.windowed_place.y);
  s.mode = Impl::Mode::kDesktop;
  s.UseVsync(false);
}

void SdlScreen::ToggleWindowed() {
  Impl& s = *impl_;
  if (!s.ShowsFrames()) return;
  const PointerKept pointer;
  if (s.mode != Impl::Mode::kWindowed) {
    s.ShowFramesWindowed();
    return;
  }
  SDL_SetWindowResizable(s.window, SDL_FALSE);
  s.FillMonitor();
  SDL_RaiseWindow(s.window);
}

void SdlScreen::PresentFrame(const Surface& frame) {
  impl_->Show(frame, frame.width(), frame.height(), true);
  impl_->Pace();
}

void SdlScreen::PresentDesktop(const Surface& picture) {
  impl_->Show(picture, picture.width(), picture.height(), false);
}

void SdlScreen::MapMouse(float window_x, float window_y, float& x, float& y) const {
  const Impl& s = *impl_;
  if (!s.ShowsFrames()) {
    x = window_x;
    y = window_y;
    return;
  }
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(s.window, &width, &height);
  const Letterbox box = FitFrame(s.frame_width, s.frame_height, width, height);
  x = static_cast<float>(FramePixelAt(window_x, box.x, box.width, s.frame_width));
  y = static_cast<float>(FramePixelAt(window_y, box.y, box.height, s.frame_height));
}

bool SdlScreen::PointerInFrame(float& x, float& y) const {
  const Impl& s = *impl_;
  int window_x = 0;
  int window_y = 0;
  if (!s.ShowsFrames() || !PointerInWindow(s.window, window_x, window_y)) return false;
  MapMouse(static_cast<float>(window_x), static_cast<float>(window_y), x, y);
  return true;
}

bool SdlScreen::IsFullScreen() const { return impl_->ShowsFrames(); }

bool SdlScreen::IsWindowed() const { return impl_->mode == Impl::Mode::kWindowed; }

const char* SdlScreen::PathName() const { return impl_->path_name.c_str(); }

void SdlScreen::SetPacing(bool on) { impl_->pacing = on; }

}  // namespace kraylo
