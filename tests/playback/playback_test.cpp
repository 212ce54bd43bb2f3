// Watching a file of three recorded games with the controls: a seek anywhere shows the state the
// game had there, each control moves the tick as it says (the ends and the games' edges hold), and
// the recorded checksums are compared as --check-replay compares them.
#include "playback/playback.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "game/state_checksum.h"
#include "replay/replay_check.h"
#include "tests/replay/replay_fakes.h"

namespace kraylo {
namespace {

// Games of 2500, 1200 and 30 ticks, each with its own seed and keys.
std::string ThreeGames() {
  MemoryFiles files;
  ReplayWriter writer(files, kReplayPath);
  PlayRecordedGame(writer, 2500, 7, 1);
  PlayRecordedGame(writer, 1200, 8, 2);
  PlayRecordedGame(writer, 30, 9, 3);
  writer.EndGame();
  return files.Content(kReplayPath);
}

const Replay& File() {
  static const Replay replay = ParseReplay(ThreeGames());
  return replay;
}

// The checksum of `state`, and of a game's state reached by running its ticks from its start.
uint32_t Checksum(const GameState& state) { return StateChecksum(state.game, state.random); }
uint32_t PlayedStraightTo(TimelinePosition position) {
  const RecordedGame& recorded = File().games[position.game];
  GameState state = StartingState(recorded.width, recorded.height, recorded.seed);
  for (uint32_t tick = 0; tick < position.tick; ++tick) {
    MoveTick(state.game, recorded.inputs[tick], state.random);
  }
  return Checksum(state);
}

TEST(Playback, ASeekShowsTheStateOfPlayingStraightThere) {
  const struct {
    const char* what;
    TimelinePosition position;
  } cases[] = {
      {"the first tick", {0, 0}},        {"just before a kept state", {0, 999}},
      {"a kept state", {0, 1000}},       {"just after one", {0, 1001}},
      {"the last of a game", {0, 2500}}, {"the next game's start", {1, 0}},
      {"inside it", {1, 1177}},          {"the last of the file", {2, 30}},
  };
  Playback watched{Timeline(File())};
  EXPECT_EQ(watched.timeline().KeptStates(), 3u + 2u + 1u) << "one per 1000 ticks of each game";
  Playback sought{Timeline(File())};
  for (const auto& c : cases) {
    const uint64_t index = watched.timeline().IndexOf(c.position);
    while (watched.index() < index) watched.TimerTick();
    ASSERT_EQ(watched.position(), c.position) << c.what;
    sought.ToEnd();
    sought.SeekTo(index);
    EXPECT_EQ(sought.position(), c.position) << c.what;
    EXPECT_EQ(Checksum(sought.state()), PlayedStraightTo(c.position)) << c.what;
    EXPECT_EQ(Checksum(watched.state()), PlayedStraightTo(c.position)) << c.what;
  }
}

TEST(Playback, EachControlMovesTheTickAsItSaysAndTheEdgesHold) {
  const auto times = [](int count, void (Playback::*control)()) {
    return [=](Playback& playback) {
      for (int i = 0; i < count; ++i) (playback.*control)();
    };
  };
  const auto jump = [](int64_t ticks) { return [=](Playback& p) { p.Jump(ticks); }; };
  const auto step = [](int direction) { return [=](Playback& p) { p.Step(direction); }; };
  const TimelinePosition end{2, 30};
  const struct {
    const char* what;
    TimelinePosition from;
    std::function<void(Playback&)> control;
    TimelinePosition to;  // after 8 timer ticks
    int heard;            // of those timer ticks: the ticks heard, at speed 1 only
  } cases[] = {
      {"speed 1", {0, 500}, times(0, &Playback::Faster), {0, 508}, 8},
      {"1/2", {0, 500}, times(1, &Playback::Slower), {0, 504}, 0},
      {"1/4", {0, 500}, times(2, &Playback::Slower), {0, 502}, 0},
      {"no slower than 1/4", {0, 500}, times(5, &Playback::Slower), {0, 502}, 0},
      {"2", {0, 500}, times(1, &Playback::Faster), {0, 516}, 0},
      {"8", {0, 500}, times(3, &Playback::Faster), {0, 564}, 0},
      {"no faster than 8", {0, 500}, times(6, &Playback::Faster), {0, 564}, 0},
      {"paused", {0, 500}, times(1, &Playback::TogglePause), {0, 500}, 0},
      {"and on again", {0, 500}, times(2, &Playback::TogglePause), {0, 508}, 8},
      {"a step on pauses", {0, 500}, step(+1), {0, 501}, 0},
      {"a step back too", {0, 500}, step(-1), {0, 499}, 0},
      {"a step back at the start", {0, 0}, step(-1), {0, 0}, 0},
      {"a step on at the end", end, step(+1), end, 0},
      {"a step on from a game's end", {0, 2500}, step(+1), {1, 0}, 0},
      {"5 s on, playing", {0, 500}, jump(kJumpTicks), {0, 675}, 8},
      {"5 s back near the start", {0, 50}, jump(-kJumpTicks), {0, 8}, 8},
      {"5 s back across a game", {1, 7}, jump(-kJumpTicks), {0, 2349}, 8},
      {"5 s on near the end", {2, 1}, jump(kJumpTicks), end, 0},
      {"PgUp in the first game", {0, 700}, &Playback::PreviousGame, {0, 8}, 8},
      {"PgUp in the second", {1, 5}, &Playback::PreviousGame, {0, 8}, 8},
      {"PgDn in the first", {0, 0}, &Playback::NextGame, {1, 8}, 8},
      {"PgDn in the last", {2, 3}, &Playback::NextGame, end, 0},
      {"End", {1, 5}, &Playback::ToEnd, end, 0},
      {"Home", {1, 5}, &Playback::ToStart, {0, 8}, 8},
  };
  for (const auto& c : cases) {
    Playback playback{Timeline(File())};
    playback.SeekTo(playback.timeline().IndexOf(c.from));
    c.control(playback);
    int heard = 0;
    for (int i = 0; i < 8; ++i) heard += playback.TimerTick() ? 1 : 0;
    EXPECT_EQ(playback.position(), c.to) << c.what;
    EXPECT_EQ(Checksum(playback.state()), PlayedStraightTo(c.to)) << c.what;
    EXPECT_EQ(heard, c.heard) << c.what;
  }
}

TEST(Playback, RecordedChecksumsAreComparedAsByCheckReplayAndAsALiveGameGrows) {
  const auto error_of = [](const std::function<void()>& action) -> std::string {
    try {
      action();
    } catch (const ReplayError& error) {
      return error.what();
    }
    return "";
  };
  std::string changed = ThreeGames();
  changed.back() = static_cast<char>(changed.back() ^ 1);  // the third game's last checksum
  const std::string expected = error_of([&] { CheckReplay(ParseReplay(changed)); });
  EXPECT_EQ(expected.rfind("checksum mismatch at tick 30 of game 3: recorded ", 0), 0u);
  EXPECT_EQ(error_of([&] { [[maybe_unused]] const Timeline timeline(ParseReplay(changed)); }),
            expected);

  // A game watched as it is played: its checksums come before their ticks, or after.
  const RecordedGame& game = File().games[0];
  Timeline live;
  live.BeginGame(game.seed, game.width, game.height);
  const uint32_t right = PlayedStraightTo({0, 120});
  live.AddCheckpoint({120, right ^ 1});
  live.AddCheckpoint({90, PlayedStraightTo({0, 90})});
  EXPECT_EQ(error_of([&] { live.AddTicks({game.inputs.data(), 100}); }), "");
  EXPECT_EQ(error_of([&] {
              live.AddTicks({game.inputs.data() + 100, 50});
            }).rfind("checksum mismatch at tick 120:", 0),
            0u);
  EXPECT_EQ(error_of([&] {
              live.AddCheckpoint({60, right});
            }).rfind("checksum mismatch at tick 60:", 0),
            0u);
}

TEST(Playback, AtALiveGamesNewestTickEndPlaysOnAsTicksArrive) {
  const RecordedGame& game = File().games[0];
  Timeline timeline;
  timeline.BeginGame(game.seed, game.width, game.height);
  timeline.AddTicks({game.inputs.data(), 10});
  Playback playback(std::move(timeline));
  playback.SetLive(true);
  playback.TogglePause();
  playback.ToEnd();
  playback.TimerTick();
  EXPECT_EQ(playback.position(), (TimelinePosition{0, 10})) << "playing, waiting for ticks";
  playback.timeline().AddTicks({game.inputs.data() + 10, 2});
  for (int i = 0; i < 3; ++i) playback.TimerTick();
  EXPECT_EQ(playback.position(), (TimelinePosition{0, 12}));
  EXPECT_EQ(Checksum(playback.state()), PlayedStraightTo({0, 12}));
}

}  // namespace
}  // namespace kraylo
