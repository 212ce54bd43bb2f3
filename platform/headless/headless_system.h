// The headless backend: no display, scripted events, a settable clock, pictures in memory.
// Tests drive whole sessions through it and look at what the frames show.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/devices/faults.h"
#include "platform/devices/pads_core.h"
#include "platform/events.h"
#include "platform/platform.h"

namespace kraylo {

// One DrawText call as the text renderer saw it.
struct TextDraw {
  int32_t x = 0;
  int32_t y = 0;
  std::string text;
  Font font;
  int32_t color = 0;  // packed red + 256 * green + 65536 * blue
};

// The headless machine's surroundings: an environment of its own (HOME, XDG_CONFIG_HOME,
// XDG_STATE_HOME; the test process's own is never read) and folders where no file can be
// created, whoever runs the tests.
struct HeadlessPlace {
  std::map<std::string, std::string> environment;
  std::set<std::string> read_only_folders;
};

class HeadlessSystem : public System {
 public:
  // A machine whose executable lies in `program_folder`; its files are found from there as on a
  // real machine (a data folder beside it, or an installed one), with `place`'s environment.
  // Pushed mouse events are in the picture's pixels already, so the monitor has no size of its own.
  explicit HeadlessSystem(const std::string& program_folder, HeadlessPlace place = {});
  ~HeadlessSystem() override;

  // System
  Clock& clock() override;
  Random& random() override;
  Files& files() override;
  Window& window() override;
  Display& display() override;
  KeyboardApi& keyboard() override;
  Pads& pads() override;
  AudioOutput& audio() override;
  char DecimalSeparator() override;
  int Run(const WindowEvents& events) override;

  // ---- Script (in) ----
  // The platform operations armed to fail (every backend operation checks them first).
  Faults& faults();
  // Queues an event; the next yield (or Run's own loop) dispatches it.
  void Push(const InputEvent& event);
  // Moves the monotonic clock; every yield also advances it by yield_step seconds (default
  // 0.001), so a frame loop sees time pass and the timer ticks.
  void AdvanceClock(double seconds);
  void SetYieldStep(double seconds);
  void SetNow(const CalendarTime& now);
  void SetDecimalSeparator(char separator);
  // The keys the keyboard device reports at each poll (0x80 per held key).
  KeyTable& HeldKeys();
  // Values Random::Next returns, in order (then it repeats the last); empty: a fixed sequence.
  void ScriptRandom(std::vector<float> values);
  // Called at every yield before the queue is dispatched (a test hook to push events, change
  // keys or stop a session at a chosen frame); `yield_number` counts from 1. The passes of Run's
  // own loop count as yields here too (they call the hook and advance the clock).
  void OnYield(std::function<void(int yield_number)> hook);
  // Pads: plugs one in, named `name`; its number for the calls below. Pads count only while the
  // window has the focus, which it gets when it is shown (push FocusLost to take it away).
  PadId PlugPad(std::string name);
  void UnplugPad(PadId pad);
  void SetPadButton(PadId pad, PadButton button, bool down);
  void SetPadAxis(PadId pad, PadAxis axis, int16_t value);
  // Where the system pointer is (picture pixels); the window reads it when frames appear and on
  // Alt+Enter. Unset, the window system cannot say.
  void SetPointer(float x, float y);
  // What the desktop's clipboard holds.
  void SetClipboard(std::string text);
  // Whether the program has asked for typed text (Window::AcceptText).
  bool AcceptsText() const;
  // Run's own loop, once no handler runs, ends the session after this many idle passes
  // (default 1000) instead of waiting forever for a click. A pass is idle when it dispatched no
  // input event; timer ticks do not count, so a running timer cannot keep a session alive.
  void SetIdleLimit(int passes);

  // ---- Observations (out) ----
  // The last frame shown full screen (nullptr before the first flip), frames shown so far.
  const Surface* LastFrame() const;
  int FramesShown() const;
  // The texts drawn into the last shown frame, in drawing order.
  const std::vector<TextDraw>& TextsOfLastFrame() const;
  bool IsFullScreen() const;  // frames shown, on the monitor or in a window of their own
  bool IsWindowed() const;    // frames in a desktop window (Alt+Enter)
  bool HasFocus() const;      // the window has the keyboard focus
  // The pad mapping files the program asked for, in order.
  const std::vector<std::string>& PadMappingFiles() const;
  // The system pointer's show count (hidden below 0); back to 0 when Run gives the desktop back.
  int CursorCount() const;
  int Yields() const;      // Window::Yield calls so far (Run's own passes not counted)
  int TimerTicks() const;  // ticks delivered so far
  bool TimerRunning() const;
  bool Unloaded() const;
  int HandlerRuns() const;  // handlers dispatched since Run began, activation included
  // The unhandled-error reports: "Run-time error N: D", one per report.
  const std::vector<std::string>& ErrorReports() const;
  // Which control holds the keyboard focus: kLog, kExit, or none (the window itself).
  std::optional<Control> Focus() const;
  // Repaints of the desktop window so far (there is one only after something it shows changed).
  int Repaints() const;
  // The rows of the log box in view, top first.
  std::vector<std::string> LogRowsInView() const;
  // Whether Run's own loop ended the session at the idle limit.
  bool EndedIdle() const;
  // While held, the sound output's Open waits (10 seconds at most): a slow sound server.
  void HoldAudioOpen(bool held);
  // Whether the sound output is open, and its next `frames` samples (silence while closed).
  bool AudioOpen() const;
  std::vector<int16_t> PullAudio(size_t frames);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kraylo
