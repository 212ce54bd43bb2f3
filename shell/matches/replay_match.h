// Games on a timeline shown with the viewer's controls: a recorded file, or a game watched as it
// is played (the timeline growing meanwhile). Each tick of the timer shows the next state as the
// playback's speed has it; the viewer's Esc and Tab act as in a game, the keys as window key
// events (none of them lost however short the tap), and the timeline bar seeks.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "playback/playback.h"
#include "shell/matches/match.h"

namespace kraylo {

class ReplayMatch final : public Match {
 public:
  // `title` begins the overlay's first line ("Replay", "Watching").
  ReplayMatch(Timeline timeline, std::string title);

  void Tick(Program& program, const KeyTable& local) override;
  void KeyDown(Program& program, int16_t key_code, bool repeat) override;
  void PointerMoved(Program& /*program*/) override { bar_ticks_ = kBarTicksAfterPointer; }
  void Click(Program& program) override;
  std::optional<TimelineBar> Bar() const override;
  std::vector<std::string> OverlayLines() const override;

  Playback& playback() { return playback_; }
  const Playback& playback() const { return playback_; }
  // The viewer has not moved away from the newest tick since the start or the last End: a live
  // timeline is followed as it grows.
  bool following() const { return following_; }

 private:
  // After the pointer last moved, the bar stays this many timer ticks (2 s).
  static constexpr int kBarTicksAfterPointer = 67;

  // The shown state in the program's model; Running and ShowDebug are the viewer's own.
  void Show(Program& program) const;
  // "game 2 of 3, " when the timeline has several.
  std::string GameText() const;
  // ", paused" and ", speed 1/4" when so.
  std::string StateText() const;

  Playback playback_;
  std::string title_;
  bool following_ = true;
  int bar_ticks_ = 0;  // timer ticks the bar still shows for the pointer's last move
};

}  // namespace kraylo
