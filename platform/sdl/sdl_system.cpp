#include "platform/sdl/sdl_system.h"

#include <SDL.h>

#include <string>

#include "platform/desktop_form/form.h"
#include "platform/desktop_form/window_core.h"
#include "platform/devices/disk_files.h"
#include "platform/devices/display_device.h"
#include "platform/devices/machine_clock.h"
#include "platform/graphics/text_renderer.h"
#include "platform/os/os_services.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_devices.h"
#include "platform/sdl/sdl_pads.h"
#include "platform/sdl/sdl_screen.h"
#include "platform/sdl/sdl_window_host.h"
#include "platform/sdl/video_driver.h"
#include "platform/sdl/window_icon.h"

namespace kraylo {
namespace {

// SDL's video subsystem for as long as the object lives, on a driver that shows the game.
class SdlVideo {
 public:
  SdlVideo() {
    // The window class the desktop entry names (StartupWMClass), whatever the executable's name
    // (SDL 2.26 reads it from this variable only, before it starts its X11 video driver).
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", "kraylo", /*overwrite=*/0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      Raise(kErrNoVideo, std::string("The video system could not be started (") + SDL_GetError() +
                             "). " + kNoDisplayText);
    }
    // SDL may have fallen back to drawing into memory (where it found no desktop to show on).
    const char* driver = SDL_GetCurrentVideoDriver();
    if (RunsUnseen(driver != nullptr ? driver : "", SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
      SDL_Quit();
      Raise(kErrNoVideo, kNoDisplayText);
    }
    // Keys arrive as key events only; no text input or input method is wanted but on the
    // screens that ask for text (Window::AcceptText).
    SDL_StopTextInput();
  }
  ~SdlVideo() { SDL_Quit(); }
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;
};

struct WindowDestroyer {
  void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
using WindowPointer = std::unique_ptr<SDL_Window, WindowDestroyer>;

WindowPointer MakeMainWindow() {
  SDL_Window* window = SDL_CreateWindow("Kraylo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        FormLayout::kWidth, FormLayout::kHeight, SDL_WINDOW_HIDDEN);
  if (window == nullptr) {
    Raise(kErrNoVideo, std::string("The main window could not be made: ") + SDL_GetError());
  }
  SetWindowIcon(window);
  return WindowPointer(window);
}

// Where the real machine's files are, from the executable's folder and the process's environment.
FileLocations MachineLocations() {
  DiskProbe probe(ProcessEnvironment);
  return SystemFileLocations(ExecutableFolder(), probe);
}

class SdlSystem final : public System {
 public:
  explicit SdlSystem(const SdlOptions& options)
      : files_(MachineLocations(), faults_),
        window_(MakeMainWindow()),
        screen_(window_.get()),
        text_(CreateTextRenderer()),
        display_(CreateDisplay(screen_, *text_, faults_)),
        keyboard_(faults_),
        host_(window_.get(), screen_, *text_, pads_),
        core_(static_cast<WindowHandle>(SDL_GetWindowID(window_.get())), clock_, host_,
              [this](std::string_view row) { return host_.MeasureLogRow(row); }),
        decimal_separator_(LocaleDecimalSeparator()) {
    screen_.SetPacing(options.pace_frames);
    core_.WatchFocus([this](bool focused) { pads_.SetFocus(focused); });
  }

  Clock& clock() override { return clock_; }
  Random& random() override { return random_; }
  Files& files() override { return files_; }
  Window& window() override { return core_; }
  Display& display() override { return *display_; }
  KeyboardApi& keyboard() override { return keyboard_; }
  Pads& pads() override { return pads_; }
  AudioOutput& audio() override { return audio_; }
  char DecimalSeparator() override { return decimal_separator_; }
  int Run(const WindowEvents& events) override { return core_.Run(events); }

 private:
  // Declared in the order of making; they go in the reverse order, SDL itself last.
  SdlVideo video_;
  Faults faults_;  // never armed on the real machine; the shared cores check it
  DiskFiles files_;
  MachineClock clock_;
  MtRandom random_;
  WindowPointer window_;
  SdlScreen screen_;
  std::unique_ptr<TextRenderer> text_;
  std::unique_ptr<Display> display_;
  SdlKeyboard keyboard_;
  SdlPads pads_;
  SdlWindowHost host_;
  WindowCore core_;
  char decimal_separator_;
  SdlAudio audio_;
};

}  // namespace

std::unique_ptr<System> CreateSdlSystem(const SdlOptions& options) {
  return std::make_unique<SdlSystem>(options);
}

namespace {

// Files with the never-armed faults they check, made before the files that refer to them.
struct UnarmedFaults {
  Faults faults;
};
class MachineFiles final : private UnarmedFaults, public DiskFiles {
 public:
  MachineFiles() : DiskFiles(MachineLocations(), faults) {}
};

}  // namespace

std::unique_ptr<Files> CreateMachineFiles() { return std::make_unique<MachineFiles>(); }

}  // namespace kraylo
