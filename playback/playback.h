// Watching recorded games with controls: pause, speed, a tick at a time, jumps, the start and the
// end, the games of a file one by one, and a seek to any tick. Each tick of the 30 ms timer shows
// the next state as the speed has it; whatever the way there, the state shown at a position is
// the one the game had there. A live timeline (a game still being played) may grow meanwhile:
// its end is the newest tick, and playing on at the end waits there for the next ones.
#pragma once

#include <cstdint>
#include <optional>

#include "game/game_state.h"
#include "game/motion.h"
#include "playback/timeline.h"

namespace kraylo {

// The speeds, slowest first: ticks of the game per tick of the timer.
enum class PlaybackSpeed : uint8_t { kQuarter, kHalf, kNormal, kDouble, kFourfold, kEightfold };

// How a speed is written: "1/4", "1/2", "1", "2", "4", "8".
const char* SpeedText(PlaybackSpeed speed);

// A jump of Left or Right: 5 seconds of the game (167 ticks of 30 ms).
inline constexpr int64_t kJumpTicks = 167;

class Playback {
 public:
  // Shows the start of `timeline`'s first game, playing at speed 1. `timeline` holds a game.
  explicit Playback(Timeline timeline);

  // A live timeline's ticks and games are added here while it is shown.
  Timeline& timeline() { return timeline_; }
  const Timeline& timeline() const { return timeline_; }
  // Live: the timeline still grows (End plays on from the newest tick). Off by default.
  void SetLive(bool live) { live_ = live; }
  bool live() const { return live_; }

  // One tick of the timer: runs the ticks the speed asks for (none while paused or at the end).
  // What the ticks did is returned only at speed 1, the one speed the game is heard at.
  std::optional<TickEvents> TimerTick();

  // Pause and play on.
  void TogglePause() { paused_ = !paused_; }
  // One speed faster or slower; the fastest and the slowest stay.
  void Faster();
  void Slower();
  // Pauses, then shows the next (+1) or the previous (-1) tick.
  void Step(int direction);
  // Moves by `ticks` (negative: back), across games, stopping at the timeline's ends.
  void Jump(int64_t ticks);
  // The first game's start; the last game's newest tick (playing on when live).
  void ToStart() { SeekTo(0); }
  void ToEnd();
  // The start of the previous game (of this one in the first); the start of the next (the end
  // in the last).
  void PreviousGame();
  void NextGame();
  // Shows the position at `index` on the timeline (the end for one past it).
  void SeekTo(uint64_t index);

  bool paused() const { return paused_; }
  PlaybackSpeed speed() const { return speed_; }
  TimelinePosition position() const { return position_; }
  uint64_t index() const { return timeline_.IndexOf(position_); }
  // At the newest tick of the last game: nothing more to play (yet, when live).
  bool AtEnd() const { return position_ == timeline_.Last(); }
  // The state shown.
  const GameState& state() const { return state_; }

 private:
  // Moves on by one position, running the tick (events as MoveTick sets them) or going from a
  // game's end to the next game's start; nothing at the end.
  void Advance(TickEvents* events);
  void Show(TimelinePosition position);

  Timeline timeline_;
  TimelinePosition position_;
  GameState state_;
  bool live_ = false;
  bool paused_ = false;
  PlaybackSpeed speed_ = PlaybackSpeed::kNormal;
  int waited_ = 0;  // timer ticks the shown tick has stayed, below speed 1
};

}  // namespace kraylo
