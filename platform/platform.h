// The contract between the program and the machine: time, chance, files, the main window, the
// full-screen display, the keyboard, pads and the sound output. The program includes this header
// and the few it includes (run_error.h, surface.h, keys.h), and events.h for the window's key
// codes; nothing in the sub-folders. Two backends fill it: SDL2 (platform/sdl/, made by
// sdl/sdl_system.h) and a headless one for tests (platform/headless/, headless/headless_system.h),
// over the shared machinery in desktop_form/ (the start-up window's controls), devices/,
// graphics/ and os/ (what each operating system does its own way).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/keys.h"
#include "platform/run_error.h"
#include "platform/surface.h"

namespace kraylo {

// ---- Time and chance ----

// Local wall-clock time, for time stamps.
struct CalendarTime {
  int year = 0, month = 0, day = 0;      // 1-based month and day
  int hour = 0, minute = 0, second = 0;  // 24-hour clock
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic seconds with a fraction; positive from the first reading on, never goes back.
  virtual double Seconds() = 0;
  // The current local time and date.
  virtual CalendarTime Now() = 0;
};

class Random {
 public:
  virtual ~Random() = default;
  // Re-seeds the generator from the clock.
  virtual void Reseed() = 0;
  // A uniform single-precision number in [0, 1).
  virtual float Next() = 0;
};

// ---- Files ----

class Files {
 public:
  virtual ~Files() = default;
  // The data folder (the sprite sheets in graph/, the default configuration), found when the
  // machine started; without a trailing separator.
  virtual std::string DataFolder() = 0;
  // The configuration file in use: the user's own when there is one, else the data folder's.
  virtual std::string ConfigFile() = 0;
  // Where the error log goes; "" when the machine has no folder for it.
  virtual std::string ErrorLogFile() = 0;
  // Why ErrorLogFile() is "", naming the variables this system would have found its folder by
  // ("neither XDG_STATE_HOME nor HOME is set"); "" when there is a folder.
  virtual std::string NoErrorLogReason() = 0;
  // Creates the folder at `path` and the folders above it that are missing; raises
  // kErrFileAccess naming the folder when that cannot be done.
  virtual void CreateFolders(const std::string& path) = 0;
  // The whole content of a file; raises kErrFileNotFound naming the file when it is missing or
  // cannot be opened, and kErrFileAccess when it holds more than `max_bytes` bytes.
  virtual std::string ReadFile(const std::string& path, size_t max_bytes = SIZE_MAX) = 0;
  // Appends bytes to a file, creating it when missing; raises kErrFileAccess naming the file
  // and the reason when it cannot be written.
  virtual void AppendFile(const std::string& path, const std::string& bytes) = 0;
  // Replaces a file's content with `bytes`, creating it when missing; raises as AppendFile.
  virtual void WriteFile(const std::string& path, const std::string& bytes) = 0;
};

// ---- The main window ----

// The window's system handle; 0 is no window.
using WindowHandle = int32_t;

// The window's controls that the program shows and hides.
enum class Control { kExit, kLog };  // cmdExit, txtDebug

// The fonts the window and its controls carry (points at 96 dpi).
Font WindowFont();  // the window itself: Tahoma 72 bold
Font Fnt2Font();    // the label fnt2: Tahoma 36 bold
Font LogFont();     // txtDebug and cmdExit: Tahoma 9 regular

// The interval of tmrMove, the timer that ticks the game (seconds): 30 ms.
inline constexpr double kTickSeconds = 0.030;

// Handlers the program binds to the window's events. The window system calls them one at a
// time, only from Run's own loop or from inside Window::Yield. An unset handler is not called.
struct WindowEvents {
  std::function<void()> activate;  // once per run
  // Window key codes (Esc 27); `repeat`: the key's own repeat while it is held, not a new press.
  std::function<void(int16_t key_code, int16_t shift, bool repeat)> key_down;
  std::function<void(int16_t button, int16_t shift, float x, float y)> mouse_down;  // pixels
  std::function<void(int16_t button, int16_t shift, float x, float y)> mouse_move;  // pixels
  std::function<void()> exit_click;                                                 // cmdExit
  std::function<void()> timer_tick;  // tmrMove, every kTickSeconds
  // Text typed while the display's frames show, UTF-8, in the keyboard's own layout.
  std::function<void(const std::string& text)> text_input;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual WindowHandle Handle() const = 0;

  virtual void SetVisible(Control control, bool visible) = 0;
  virtual bool IsVisible(Control control) const = 0;
  // The text of txtDebug.
  virtual std::string LogText() const = 0;
  virtual void SetLogText(std::string text) = 0;

  // Starts tmrMove (30 ms). Starting it again changes nothing; nothing stops it.
  virtual void StartTimer() = 0;
  // Dispatches every pending event, delivers at most one due timer tick, repaints what changed.
  // An error a handler lets out ends the program with the error report (throws ProgramEnd).
  virtual void Yield() = 0;
  // Yield for a loop that has nothing to show: first waits until there is an input event to
  // dispatch or a timer tick to deliver, so that the loop does not spin.
  virtual void WaitThenYield() = 0;
  // Unloads the window; Run returns once the current handler has returned.
  virtual void Unload() = 0;
  // Ends the program at once: no further frame or handler (throws ProgramEnd{0}).
  [[noreturn]] virtual void EndProgram() = 0;
  // The text on the desktop's clipboard; "" when there is none.
  virtual std::string ClipboardText() = 0;
  // Whether typed text comes as text_input (the keyboard's layout and input method at work);
  // off from the start, so that the game's keys are only keys.
  virtual void AcceptText(bool accept) = 0;
  // Raises or lowers the system pointer's show count; the pointer is hidden while it is below
  // zero. Returns the new count.
  virtual int ShowCursor(bool show) = 0;
};

// ---- The full-screen display ----

// The flipping pair of the full-screen mode.
class PrimarySurface {
 public:
  virtual ~PrimarySurface() = default;
  // The back buffer every frame is drawn into ("GetAttachedSurface").
  virtual Surface& BackBuffer() = 0;
  // Shows the back buffer, waiting for the display's refresh where it has one ("Flip").
  virtual void Flip() = 0;
};

// The display object: a full-screen mode on the window's monitor.
class DisplayDevice {
 public:
  virtual ~DisplayDevice() = default;
  static constexpr int32_t kFullScreenExclusive = 19;
  static constexpr int32_t kNormal = 8;
  // "SetCooperativeLevel": kFullScreenExclusive takes the screen for the window, kNormal gives
  // it back (window 0).
  virtual void SetCooperativeLevel(WindowHandle window, int32_t flags) = 0;
  // "SetDisplayMode": the size of every surface and of the coordinate space, and the colour
  // depth (16, 24, 32); raises kErrBadDisplayMode with a clear description otherwise.
  virtual void SetDisplayMode(int32_t width, int32_t height, int32_t bits) = 0;
  // "RestoreDisplayMode": the desktop as it was.
  virtual void RestoreDisplayMode() = 0;
  // "CreatePrimarySurface": the flipping pair in the mode's size and format.
  virtual std::unique_ptr<PrimarySurface> CreatePrimarySurface() = 0;
  // "CreateSurface": an off-screen surface in the mode's pixel format; raises
  // kErrBadSurfaceSize for a zero or negative size.
  virtual std::unique_ptr<Surface> CreateSurface(int32_t width, int32_t height) = 0;
};

class Display {
 public:
  virtual ~Display() = default;
  // "DirectDrawCreate": the display object for the default display.
  virtual std::unique_ptr<DisplayDevice> Create() = 0;
  // "LoadImage": a bitmap file at its own size; an empty Bitmap (0 x 0) when the file is
  // missing or not a bitmap. Never raises for a bad file.
  virtual Bitmap LoadBitmap(const std::string& path) = 0;
};

// ---- The keyboard device ----

class KeyboardApi {
 public:
  virtual ~KeyboardApi() = default;
  virtual void CreateInput() = 0;    // "DirectInputCreate"
  virtual void CreateDevice() = 0;   // "CreateDevice"
  virtual void SetDataFormat() = 0;  // "SetCommonDataFormat"
  virtual void SetCooperativeLevel(WindowHandle window, int32_t flags) = 0;  // raises on 0
  virtual void Acquire() = 0;                                                // "Acquire"
  // "GetDeviceState": fills every byte; raises kErrNotAcquired before Acquire succeeded.
  virtual void GetState(KeyTable& table) = 0;
  // The table entry of the key SDL names `name` ("Left", "A", "Keypad 4"; any case); nothing for
  // a name that is no key of a standard 104/105-key keyboard. Needs no device.
  virtual std::optional<uint8_t> KeyNamed(std::string_view name) const = 0;
};

// ---- Game pads ----

// A connected pad and the player whose ball it steers.
struct PadInfo {
  int player = 0;    // 1 or 2; 0 while both players have a pad already
  std::string name;  // as the pad calls itself
  friend bool operator==(const PadInfo&, const PadInfo&) = default;
};

// What one player's pad holds at this moment.
struct PadHeld {
  uint8_t directions = 0;  // bits 0-3: Left, Right, Up, Down, from the D-pad or the left stick
  bool back = false;       // Back (Select)
  friend bool operator==(const PadHeld&, const PadHeld&) = default;
};

// The game pads: opened when plugged in (also before start), closed when unplugged. The first
// pad steers player 1, the second player 2; an unplugged pad frees its player for the next pad
// plugged in (the lowest free player).
class Pads {
 public:
  virtual ~Pads() = default;
  // The pads connected now, in the order they were plugged in.
  virtual std::vector<PadInfo> Connected() const = 0;
  // What the pad of player `player` (1 or 2) holds now; nothing held while the main window does
  // not have the focus or the player has no pad.
  virtual PadHeld Held(int player) const = 0;
  // Why this machine cannot use pads at all; empty when it can.
  virtual std::string Unavailable() const = 0;
  // Adds the pad mappings of a gamecontrollerdb.txt file to the machine's own table (the user's
  // own file, named by SDL_GAMECONTROLLERCONFIG_FILE, still wins) and opens the pads they make
  // known. Returns how many pads the file newly describes; 0 when there is no such file. Raises
  // kErrFileAccess naming the file when it is there but cannot be read.
  virtual int AddMappings(const std::string& path) = 0;
};

// ---- Sound ----

inline constexpr int kAudioRate = 48000;        // samples per second
inline constexpr int kAudioBufferFrames = 480;  // samples per buffer the output asks for: 10 ms

// The machine's sound output: one channel of 16-bit samples at kAudioRate, asked for a buffer of
// kAudioBufferFrames at a time.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Fills the next buffer; called on the output's own thread, never after Close returned. It
  // must not raise.
  using Fill = std::function<void(std::span<int16_t> samples)>;
  // Opens the output and starts asking `fill` for buffers. Returns "" when it plays, else why it
  // cannot (no device, a device that fails), and then never calls `fill`.
  virtual std::string Open(Fill fill) = 0;
  // Stops asking and closes the device; nothing when it is not open.
  virtual void Close() = 0;
};

// ---- Everything together ----

class System {
 public:
  virtual ~System() = default;
  virtual Clock& clock() = 0;
  virtual Random& random() = 0;
  virtual Files& files() = 0;
  virtual Window& window() = 0;
  virtual Display& display() = 0;
  virtual KeyboardApi& keyboard() = 0;
  virtual Pads& pads() = 0;
  virtual AudioOutput& audio() = 0;
  // The decimal separator of the user's locale, for the two locale-dependent number forms.
  virtual char DecimalSeparator() = 0;
  // Shows the main window, raises its activation once, serves its events until the program
  // ends, gives the desktop back; returns the exit status (0 on every normal way out).
  virtual int Run(const WindowEvents& events) = 0;
};

}  // namespace kraylo
