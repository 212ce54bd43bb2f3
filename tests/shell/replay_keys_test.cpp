// A replay watched with its keys and its timeline bar, on the headless machine: each key, pressed
// at one frame, moves the shown tick as it says from then on; the bar shows while paused, and a
// click on it seeks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/timeline_bar.h"
#include "playback/playback.h"
#include "tests/replay/replay_fakes.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

// Two recorded games of 600 and 300 ticks, shown as --replay shows them.
struct ReplayShown : Session {
  ReplayShown() {
    machine.SetYieldStep(kTickSeconds);
    const std::string path = folder + "/two.krp";
    ReplayWriter writer(machine.files(), path);
    PlayRecordedGame(writer, 600, 7, 1);
    PlayRecordedGame(writer, 300, 8, 2);
    writer.EndGame();
    program.field = FieldSize{800, 600};
    program.resources.replay.emplace(ParseReplay(machine.files().ReadFile(path)));
    program.options.mode = ReplayToShow{path};
  }
  std::string Shown() const { return program.match->OverlayLines().front(); }
};

std::string Line(int game, int64_t tick, const std::string& rest = "") {
  return "Replay: game " + std::to_string(game) + " of 2, tick " + std::to_string(tick) + " of " +
         std::to_string(game == 1 ? 600 : 300) + rest;
}

constexpr int kPressFrame = 300;
constexpr int kLookFrame = kPressFrame + 10;

TEST(ReplayKeys, EachKeyMovesTheShownTickAsItSays) {
  const InputEvent space = InputEvent::KeyDown(kKeySpace);
  InputEvent held_space = space;
  held_space.repeat = true;
  const auto key = [](int16_t code) { return InputEvent::KeyDown(code); };
  const struct {
    const char* what;
    std::vector<InputEvent> pressed;
    int game;
    bool from_before;  // the tick shown moves from the one before the press, else from 0
    int64_t moved;     // at once
    int64_t per_two;   // ticks per two timer ticks since
    const char* rest;  // of the line
  } cases[] = {
      {"nothing", {}, 1, true, 0, 2, ""},
      {"Space", {space}, 1, true, 0, 0, ", paused"},
      {"Space held", {space, held_space}, 1, true, 0, 0, ", paused"},
      {"Space twice", {space, space}, 1, true, 0, 2, ""},
      {"-", {key(kKeyMinus)}, 1, true, 0, 1, ", speed 1/2"},
      {"keypad -", {key(kKeyPadSubtract)}, 1, true, 0, 1, ", speed 1/2"},
      {"=", {key(kKeyEquals)}, 1, true, 0, 4, ", speed 2"},
      {"keypad +", {key(kKeyPadAdd)}, 1, true, 0, 4, ", speed 2"},
      {".", {key(kKeyPeriod)}, 1, true, 1, 0, ", paused"},
      {",", {key(kKeyComma)}, 1, true, -1, 0, ", paused"},
      {"Left", {key(kKeyLeftArrow)}, 1, true, -kJumpTicks, 2, ""},
      {"Right", {key(kKeyRightArrow)}, 1, true, kJumpTicks, 2, ""},
      {"End", {space, key(kKeyEnd)}, 2, false, 300, 0, ", paused, the end (Esc ends)"},
      {"PgDn", {space, key(kKeyPageDown)}, 2, false, 0, 0, ", paused"},
      {"PgDn PgUp", {space, key(kKeyPageDown), key(kKeyPageUp)}, 1, false, 0, 0, ", paused"},
      {"Right Home", {key(kKeyRightArrow), key(kKeyHome)}, 1, false, 0, 2, ""},
  };
  for (const auto& c : cases) {
    ReplayShown run;
    int64_t before = 0;
    int ticks_before = 0;
    run.AtFrame(kPressFrame, [&] {
      before = std::stoll(run.Shown().substr(run.Shown().find("tick ") + 5));
      ticks_before = run.machine.TimerTicks();
      for (const InputEvent& event : c.pressed) run.machine.Push(event);
    });
    run.AtFrame(kLookFrame, [&] {
      const int64_t since = run.machine.TimerTicks() - ticks_before;
      const int64_t tick = (c.from_before ? before : 0) + c.moved + since * c.per_two / 2;
      EXPECT_EQ(run.Shown(), Line(c.game, tick, c.rest)) << c.what;
    });
    run.EndFrom(kLookFrame + 1);
    EXPECT_EQ(run.Run(), 0) << c.what;
  }
}

TEST(ReplayKeys, TheBarShowsWhilePausedAndAClickOnItSeeks) {
  ReplayShown run;
  const Rect track = TimelineTrack(800, 600);
  const auto bar_lit = [&] { return LitPixels(*run.machine.LastFrame(), track); };
  run.AtFrame(kPressFrame, [&] {
    EXPECT_EQ(bar_lit(), 0) << "no bar while the replay plays";
    run.machine.Push(InputEvent::KeyDown(kKeySpace));
  });
  // A quarter of the way: 901 positions, the two games' ticks and their starts.
  const float quarter =
      static_cast<float>(track.left) + static_cast<float>(track.right - track.left) / 4;
  run.AtFrame(kPressFrame + 2, [&] {
    EXPECT_EQ(bar_lit(), (track.right - track.left) * (track.bottom - track.top)) << "paused";
    Click(run.machine, quarter, static_cast<float>(track.top + 2));
  });
  run.AtFrame(kPressFrame + 4, [&] { EXPECT_EQ(run.Shown(), Line(1, 225, ", paused")); });
  run.EndFrom(kPressFrame + 5);
  EXPECT_EQ(run.Run(), 0);
}

}  // namespace
}  // namespace kraylo::testing
