// Pads in whole sessions: the start-up log, balls steered by pads and keys together, Back ending
// a game, pads that count only with the focus, and a pad unplugged and replaced mid-game.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/devices/pads_core.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

// The log lines between "Initializing DirectInput..." and the frame loop's first.
std::vector<std::string> PadLines(Window& window) {
  const std::vector<std::string> lines = LogLines(window);
  const auto first = std::find(lines.begin(), lines.end(), "Initializing DirectInput...");
  const auto last = std::find(lines.begin(), lines.end(), " Unpacking resources...");
  if (first == lines.end() || last == lines.end()) return {};
  return {first + 1, last};
}

TEST(PadsSession, TheStartUpLogSaysWhichPadSteersWhichBall) {
  const struct {
    const char* what;
    std::vector<std::string> pads;
    const char* mappings;  // dorvane/gamecontrollerdb.txt, nullptr: none
    std::vector<std::string> logged;
  } cases[] = {
      {"none", {}, nullptr, {"No pads found"}},
      {"one", {"Pad A"}, nullptr, {"Pad 1: Pad A"}},
      {"two", {"Pad A", "Pad B"}, nullptr, {"Pad 1: Pad A", "Pad 2: Pad B"}},
      {"three",
       {"Pad A", "Pad B", "Pad C"},
       nullptr,
       {"Pad 1: Pad A", "Pad 2: Pad B", "Spare pad (both balls have one): Pad C"}},
      {"a mappings file in the data folder",
       {"Pad A"},
       "# remark\n03000000aaaa,One,a:b0,\n\n03000000bbbb,Two,a:b0,\n",
       {"Pad mappings: 2 from @/dorvane/gamecontrollerdb.txt", "Pad 1: Pad A"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Session s;
    if (c.mappings != nullptr) s.program_folder.Write("dorvane/gamecontrollerdb.txt", c.mappings);
    for (const std::string& name : c.pads) s.machine.PlugPad(name);
    s.EndFrom(1);
    EXPECT_EQ(s.Run(), 0);
    std::vector<std::string> logged = c.logged;
    for (std::string& line : logged) {
      if (const size_t at = line.find('@'); at != std::string::npos) line.replace(at, 1, s.folder);
    }
    EXPECT_EQ(PadLines(s.machine.window()), logged);
    EXPECT_EQ(s.machine.PadMappingFiles(),
              std::vector<std::string>{s.folder + "/dorvane/gamecontrollerdb.txt"});
  }
}

// A session on the game screen from frame 2 on, with two pads plugged in.
struct PadGame : Session {
  PadGame() {
    pad1 = machine.PlugPad("One");
    pad2 = machine.PlugPad("Two");
    AtFrame(1, [this] { Click(machine, 400, 260); });
  }
  // Runs `action` once, at the first frame after tick `tick` of the game.
  void AtTick(int tick, const std::function<void()>& action) {
    auto done = std::make_shared<bool>(false);
    for (int f = 2; f < 1000; ++f) {
      AtFrame(f, [this, tick, action, done] {
        if (*done || machine.TimerTicks() < tick) return;
        *done = true;
        action();
      });
    }
  }
  const TBall& Ball(int n) { return program.game.Balls(static_cast<int16_t>(n)); }

  PadId pad1 = 0, pad2 = 0;
};

TEST(PadsSession, PadsAndKeysPushTheBallsTogether) {
  PadGame g;
  double mx1 = 0, my1 = 0, mx2 = 0, my2 = 0;
  g.AtTick(0, [&] {
    g.machine.SetPadButton(g.pad1, PadButton::kDpadRight, true);
    g.machine.HeldKeys()[key_index::kUp] = key_index::kHeld;  // player 1's key with their pad
    g.machine.SetPadAxis(g.pad2, PadAxis::kLeftX, -20000);
    g.machine.SetPadAxis(g.pad2, PadAxis::kLeftY, 8000);  // inside the dead zone
  });
  g.AtTick(3, [&] {
    mx1 = g.Ball(1).MX, my1 = g.Ball(1).MY, mx2 = g.Ball(2).MX, my2 = g.Ball(2).MY;
    g.machine.SetPadButton(g.pad1, PadButton::kBack, true);
  });
  EXPECT_EQ(g.Run(), 0);
  EXPECT_GT(mx1, 0) << "pad 1's D-pad pushed ball 1 right";
  EXPECT_LT(my1, 0) << "and the Up key up";
  EXPECT_LT(mx2, 0) << "pad 2's stick pushed ball 2 left";
  EXPECT_EQ(my2, 0) << "not down: 8000 is inside the dead zone";
  EXPECT_FALSE(g.program.game.Running) << "Back ended the game as Esc does";
  EXPECT_TRUE(g.machine.ErrorReports().empty());
}

TEST(PadsSession, BackOnTheMenuDoesNothingTheMenuStaysAMouseMenu) {
  Session s;
  const PadId pad = s.machine.PlugPad("One");
  s.AtFrame(1, [&] { s.machine.SetPadButton(pad, PadButton::kBack, true); });
  s.AtFrame(50, [&] {
    EXPECT_TRUE(s.program.game.Running);
    EXPECT_EQ(s.program.screen.Shown, kMenuScreen);
  });
  s.EndFrom(51);
  EXPECT_EQ(s.Run(), 0);
}

TEST(PadsSession, WithoutTheFocusPadsPushNothingAndTheyDoAgainWhenItIsBack) {
  PadGame g;
  double away_x = 0;
  g.AtTick(0, [&] {
    g.machine.Push(InputEvent::FocusLost());
    g.machine.SetPadButton(g.pad1, PadButton::kDpadLeft, true);
  });
  g.AtTick(4, [&] {
    away_x = g.Ball(1).X;
    g.machine.Push(InputEvent::FocusGained());
  });
  g.AtTick(8, [&] { g.machine.SetPadButton(g.pad1, PadButton::kBack, true); });
  EXPECT_EQ(g.Run(), 0);
  EXPECT_EQ(away_x, 349) << "ball 1 stayed while the window was away";
  EXPECT_LT(g.Ball(1).X, 349) << "and moved once it was back";
}

TEST(PadsSession, APadUnpluggedMidGameLetsGoAndTheNextPadPluggedInTakesItsBall) {
  PadGame g;
  double my_after_unplug = 0;
  PadId third = 0;
  g.AtTick(0, [&] { g.machine.SetPadButton(g.pad1, PadButton::kDpadDown, true); });
  g.AtTick(2, [&] { g.machine.UnplugPad(g.pad1); });
  g.AtTick(3, [&] {
    my_after_unplug = g.Ball(1).MY;
    third = g.machine.PlugPad("Three");
    g.machine.SetPadButton(third, PadButton::kDpadUp, true);
  });
  g.AtTick(12, [&] { g.machine.SetPadButton(third, PadButton::kBack, true); });
  EXPECT_EQ(g.Run(), 0);
  EXPECT_GT(my_after_unplug, 0);
  EXPECT_LT(g.Ball(1).MY, 0) << "the new pad steers ball 1 up";
  EXPECT_EQ(g.machine.pads().Connected(), (std::vector<PadInfo>{{2, "Two"}, {1, "Three"}}));
}

}  // namespace
}  // namespace kraylo::testing
