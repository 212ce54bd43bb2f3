// The main window on the headless machine: where input goes, activation, the order of a yield's
// events, hide and show, the ways a session ends and the unhandled-error report; the focus, the
// Alt+Enter switch and the pointer's place when frames appear.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/devices/pads_core.h"
#include "platform/headless/headless_system.h"

namespace kraylo {
namespace {

using Seen = std::vector<std::string>;
using Ev = InputEvent;

constexpr float kExitX = 350, kExitY = 315;  // on cmdExit
constexpr float kFreeX = 200, kFreeY = 320;  // on the window, off every control
constexpr int kLogHidden = 1, kExitHidden = 2, kBothHidden = 3;

// A headless machine whose handlers note what reaches them, or let `fault` out when it is set.
struct Recorder {
  Recorder() {
    machine.SetIdleLimit(20);
    events.key_down = [this](int16_t key, int16_t shift, bool) {
      Note("key " + std::to_string(key) + " " + std::to_string(shift));
    };
    events.mouse_down = [this](int16_t button, int16_t, float x, float) {
      Note("down " + std::to_string(button) + " " + std::to_string(int(x)));
    };
    events.mouse_move = [this](int16_t, int16_t, float x, float) {
      Note("move " + std::to_string(int(x)));
    };
    events.exit_click = [this] { Note("exit"); };
    events.timer_tick = [this] { Note("tick"); };
  }
  void Note(const std::string& what) {
    if (fault) fault();
    seen.push_back(what);
  }
  // Runs `body` as the activation handler, then unloads the window; the exit status.
  int Run(const std::function<void()>& body) {
    events.activate = [this, body] {
      body();
      window.Unload();
    };
    return machine.Run(events);
  }
  // Queues `input` and lets one yield dispatch it.
  void Yield(const std::vector<InputEvent>& input) {
    for (const InputEvent& event : input) machine.Push(event);
    window.Yield();
  }
  void Hide(int hidden) {
    window.SetVisible(Control::kLog, (hidden & kLogHidden) == 0);
    window.SetVisible(Control::kExit, (hidden & kExitHidden) == 0);
  }

  HeadlessSystem machine{::testing::TempDir()};
  Window& window = machine.window();
  WindowEvents events;
  Seen seen;
  std::function<void()> fault;
};

TEST(WindowInput, GoesToTheFocusedControlOrElseToTheWindow) {
  const Ev tab = Ev::KeyDown(kKeyTab), space = Ev::KeyDown(kKeySpace),
           enter = Ev::KeyDown(kKeyReturn), esc = Ev::KeyDown(kKeyEscape), a = Ev::KeyDown('A');
  const Ev press = Ev::MouseDown(kMouseLeft, kExitX, kExitY);
  const struct {
    const char* what;
    int hidden;
    std::vector<InputEvent> input;
    Seen seen;
  } cases[] = {
      {"the log box holds the focus first", 0, {esc, space, enter, a}, {}},
      {"Tab to Exit, Space", 0, {tab, space}, {"exit"}},
      {"Tab to Exit, Return", 0, {tab, enter}, {"exit"}},
      {"Exit takes other keys silently", 0, {tab, esc, a}, {}},
      {"a second Tab is back on the log", 0, {tab, tab, space}, {}},
      {"Shift+Tab goes back", 0, {tab, Ev::KeyDown(kKeyTab, kShiftShift), space}, {}},
      {"Tab skips a hidden Exit", kExitHidden, {tab, space, enter}, {}},
      {"a hidden log passes the focus on", kLogHidden, {space}, {"exit"}},
      {"every key reaches the window with both hidden",
       kBothHidden,
       {esc, tab, space, enter, Ev::KeyDown('W', kShiftCtrl)},
       {"key 27 0", "key 9 0", "key 32 0", "key 13 0", "key 87 2"}},
      {"a left click on Exit", 0, {press, Ev::MouseUp(kMouseLeft, kExitX, kExitY)}, {"exit"}},
      {"Exit let go elsewhere", 0, {press, Ev::MouseUp(kMouseLeft, kFreeX, kFreeY)}, {}},
      {"Exit and the right button",
       0,
       {Ev::MouseDown(kMouseRight, kExitX, kExitY), Ev::MouseUp(kMouseRight, kExitX, kExitY)},
       {}},
      {"a hidden Exit", kExitHidden, {press}, {"down 1 350"}},
      {"the mouse off the controls",
       0,
       {Ev::MouseDown(kMouseRight, kFreeX, kFreeY), Ev::MouseMove(30, 330)},
       {"down 2 200", "move 30"}},
  };
  for (const auto& c : cases) {
    Recorder r;
    r.Run([&] {
      r.Hide(c.hidden);
      r.Yield(c.input);
    });
    EXPECT_EQ(r.seen, c.seen) << c.what;
  }
}

TEST(WindowSession, ActivatesOnceShownWithItsControlsWhateverTheFocusDoes) {
  Recorder r;
  int activations = 0;
  r.events.activate = [&] {
    ++activations;
    EXPECT_EQ(r.machine.Focus(), Control::kLog) << "shown with its controls";
    for (int i = 0; i < 5; ++i) r.Yield({Ev::FocusLost(), Ev::FocusGained()});
  };
  r.machine.OnYield([&](int) { r.machine.Push(Ev::FocusGained()); });
  EXPECT_EQ(r.machine.Run(r.events), 0);
  EXPECT_EQ(activations, 1);
  EXPECT_TRUE(r.machine.EndedIdle()) << "focus changes are no input: the session went idle";
  EXPECT_TRUE(r.seen.empty());
}

TEST(WindowSession, AYieldDispatchesItsEventsInOrderThenOneDueTick) {
  Recorder r;
  r.Run([&] {
    r.Hide(kBothHidden);
    r.window.StartTimer();
    r.machine.AdvanceClock(1.0);
    r.Yield({Ev::KeyDown('A', kShiftShift), Ev::MouseDown(kMouseRight, 10, 20),
             Ev::KeyDown(kKeyEscape), Ev::MouseMove(30, 40)});
    r.seen.push_back("after the yield");
  });
  EXPECT_EQ(r.seen,
            (Seen{"key 65 1", "down 2 10", "key 27 0", "move 30", "tick", "after the yield"}));
}

TEST(WindowSession, AControlShownAgainTakesTheFocusFromTheWindowAndKeepsIt) {
  Recorder r;
  r.Run([&] {
    r.Hide(kBothHidden);
    EXPECT_EQ(r.machine.Focus(), std::nullopt) << "the window itself";
    r.Hide(kLogHidden);
    r.Hide(0);
    EXPECT_TRUE(r.window.IsVisible(Control::kLog));
    r.Yield({Ev::KeyDown(kKeySpace)});
  });
  EXPECT_EQ(r.seen, Seen{"exit"});
}

TEST(WindowSession, EndsWhereTheProgramTheUserOrAnUnhandledErrorSaysSo) {
  const struct {
    const char* what;
    bool handler_goes_on;
    std::function<void(Recorder&)> end;
    std::string report;  // the message box, "": none and status 0
  } cases[] = {
      {"Unload, once the handler returns", true, [](Recorder& r) { r.window.Unload(); }, ""},
      {"EndProgram, at once", false, [](Recorder& r) { r.window.EndProgram(); }, ""},
      {"closing the window", false, [](Recorder& r) { r.machine.Push(Ev::Close()); }, ""},
      {"an error in the activation", false, [](Recorder&) { Raise(kErrOverflow, "Overflow"); },
       "Run-time error 6: Overflow"},
      {"an exception in the key handler", false,
       [](Recorder& r) {
         r.fault = [] { throw std::runtime_error("bad"); };
         r.machine.Push(Ev::KeyDown('Q'));
       },
       "Run-time error 51: Internal error: bad"},
      {"no memory in the mouse handler", false,
       [](Recorder& r) {
         r.fault = [] { throw std::bad_alloc(); };
         r.machine.Push(Ev::MouseDown(kMouseLeft, kFreeX, kFreeY));
       },
       "Run-time error 7: Out of memory"},
      {"an error in the timer tick", false,
       [](Recorder& r) {
         r.fault = [] { Raise(kErrNotAcquired, "The keyboard device is not acquired"); };
         r.window.StartTimer();
         r.machine.AdvanceClock(1.0);
       },
       "Run-time error -1103: The keyboard device is not acquired"},
  };
  for (const auto& c : cases) {
    Recorder r;
    r.events.activate = [&] {
      r.Hide(kBothHidden);
      c.end(r);
      r.Yield({});
      r.seen.push_back("went on");
    };
    ::testing::internal::CaptureStderr();
    const int status = r.machine.Run(r.events);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status != 0, !c.report.empty()) << c.what;
    EXPECT_EQ(r.seen, c.handler_goes_on ? Seen{"went on"} : Seen{}) << c.what;
    EXPECT_EQ(r.machine.ErrorReports(), c.report.empty() ? Seen{} : Seen{c.report}) << c.what;
    EXPECT_EQ(errors, c.report.empty() ? "" : "Kraylo: r" + c.report.substr(1) + "\n") << c.what;
  }
}

// Puts the display into an 800 x 600 mode, as the frame loop does: frames are shown from here on.
std::unique_ptr<DisplayDevice> ShowFrames(Recorder& r) {
  std::unique_ptr<DisplayDevice> device = r.machine.display().Create();
  device->SetCooperativeLevel(r.window.Handle(), DisplayDevice::kFullScreenExclusive);
  device->SetDisplayMode(800, 600, 32);
  return device;
}

TEST(WindowDesktop, AltEnterSwitchesTheFramesBetweenScreenAndWindowAndNoHandlerSeesIt) {
  const Ev alt_enter = Ev::KeyDown(kKeyReturn, kShiftAlt);
  Ev repeated = alt_enter;
  repeated.repeat = true;
  const struct {
    const char* what;
    bool frames;
    std::vector<InputEvent> input;
    bool windowed;
    Seen seen;
  } cases[] = {
      {"before the frames there is nothing to switch", false, {alt_enter}, false, {}},
      {"Alt+Enter: a window", true, {alt_enter}, true, {}},
      {"and back", true, {alt_enter, alt_enter}, false, {}},
      {"a held key's repeats switch nothing", true, {alt_enter, repeated, repeated}, true, {}},
      {"Enter alone is a key", true, {Ev::KeyDown(kKeyReturn)}, false, {"key 13 0"}},
      {"so is Ctrl+Alt+Enter",
       true,
       {Ev::KeyDown(kKeyReturn, kShiftAlt | kShiftCtrl)},
       false,
       {"key 13 6"}},
      {"and Alt with another key", true, {Ev::KeyDown('A', kShiftAlt)}, false, {"key 65 4"}},
  };
  for (const auto& c : cases) {
    Recorder r;
    r.Run([&] {
      r.Hide(kBothHidden);
      std::unique_ptr<DisplayDevice> device;
      if (c.frames) device = ShowFrames(r);
      r.Yield(c.input);
      EXPECT_EQ(r.machine.IsWindowed(), c.windowed) << c.what;
      EXPECT_EQ(r.machine.IsFullScreen(), c.frames) << c.what << ": frames either way";
    });
    EXPECT_EQ(r.seen, c.seen) << c.what;
  }
}

TEST(WindowDesktop, AltEnterOnTheStartUpWindowDoesNotClickTheFocusedExitButton) {
  Recorder r;
  r.Run([&] {
    r.Yield({Ev::KeyDown(kKeyTab), Ev::KeyDown(kKeyReturn, kShiftAlt)});
    r.seen.push_back("still here");
  });
  EXPECT_EQ(r.seen, Seen{"still here"});
}

TEST(WindowDesktop, ThePointerIsWhereTheSystemPointerIsWhenFramesAppearAndAfterAltEnter) {
  Recorder r;
  r.Run([&] {
    r.Hide(kBothHidden);
    r.machine.SetPointer(123, 45);
    r.Yield({});
    r.seen.push_back("desktop");
    std::unique_ptr<DisplayDevice> device = ShowFrames(r);
    r.Yield({});
    r.Yield({});
    r.seen.push_back("frames");
    r.machine.SetPointer(700, 10);
    r.Yield({Ev::KeyDown(kKeyReturn, kShiftAlt)});
    r.seen.push_back("windowed");
    r.machine.SetPointer(5, 6);
    r.Yield({Ev::MouseMove(300, 200), Ev::KeyDown(kKeyReturn, kShiftAlt)});
  });
  // Once when the frames appear, not on every yield; a real move keeps its own place.
  EXPECT_EQ(r.seen,
            (Seen{"desktop", "move 123", "frames", "move 700", "windowed", "move 300", "move 5"}));

  Recorder unknown;  // a window system that cannot say where the pointer is
  unknown.Run([&] {
    unknown.Hide(kBothHidden);
    std::unique_ptr<DisplayDevice> device = ShowFrames(unknown);
    unknown.Yield({});
  });
  EXPECT_TRUE(unknown.seen.empty());
}

TEST(WindowDesktop, TheWindowHasTheFocusOnceShownAndPadsCountOnlyWhileItHasIt) {
  Recorder r;
  const PadId pad = r.machine.PlugPad("Pad");
  r.machine.SetPadButton(pad, PadButton::kDpadUp, true);
  r.Run([&] {
    EXPECT_EQ(r.machine.pads().Held(1).directions, 0) << "not yet shown";
    r.Yield({});
    EXPECT_TRUE(r.machine.HasFocus());
    EXPECT_EQ(r.machine.pads().Held(1).directions, 4);
    r.Yield({Ev::FocusLost()});
    EXPECT_FALSE(r.machine.HasFocus());
    EXPECT_EQ(r.machine.pads().Held(1).directions, 0);
    r.Yield({Ev::FocusGained()});
    EXPECT_EQ(r.machine.pads().Held(1).directions, 4);
  });
}

}  // namespace
}  // namespace kraylo
