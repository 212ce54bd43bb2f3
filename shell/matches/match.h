// What plays a game's ticks. A local game runs one tick of the simulation per tick of tmrMove with
// the players' keys; other kinds of game decide the keys of each tick (and how many ticks run)
// otherwise, but every kind only decides what the key-state table of a tick holds.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/timeline_bar.h"
#include "platform/keys.h"
#include "playback/timeline.h"

namespace kraylo {

struct Program;
class Meeting;

class Match {
 public:
  virtual ~Match() = default;
  // One tick of tmrMove on the game screen. `local` is the key-state table of this machine's
  // players, polled for this tick.
  virtual void Tick(Program& program, const KeyTable& local) = 0;
  // Lines the debug overlay shows below the balls' nine (what this kind of game adds to them).
  virtual std::vector<std::string> OverlayLines() const { return {}; }
  // Once per frame on every screen, after the window's events: a game over a network takes in and
  // answers what has arrived.
  virtual void Serve(Program& /*program*/) {}
  // Lines the game screen shows centred over the field (what the game waits for, or why it
  // stopped); none while it plays as it should.
  virtual std::vector<std::string> Messages() const { return {}; }
  // A line shown large above the messages (the host's code, to be read out to a friend); empty
  // for none.
  virtual std::string Headline() const { return {}; }
  // A short note for the bottom left corner while the game plays (how many watch it); empty for
  // none.
  virtual std::string CornerNote() const { return {}; }

  // The window's key-down events on the game screen (window key codes; `repeat`: the key's own
  // repeat while held). Esc and Tab act at the ticks, from the key-state table, whatever the game.
  virtual void KeyDown(Program& /*program*/, int16_t /*key_code*/, bool /*repeat*/) {}
  // The pointer moved on the game screen; a click there, at the pointer's last position.
  virtual void PointerMoved(Program& /*program*/) {}
  virtual void Click(Program& /*program*/) {}
  // The timeline bar to draw across the bottom of the game screen now, with the pointer to click
  // it; none for a game played here.
  virtual std::optional<TimelineBar> Bar() const { return std::nullopt; }
  // The meeting by code that finds this match's way to its host; nullptr for none.
  virtual const Meeting* meeting() const { return nullptr; }
};

// Two players at this machine: each tick runs the simulation once on the local keys; while the
// run records (Program::recorder), the rounds come from a recorded seed and every tick is recorded.
std::unique_ptr<Match> MakeLocalMatch();
// Recorded games shown again, one recorded tick per tick, with the viewer's Esc and Tab and the
// replay's keys and timeline bar; `timeline` holds them, checked as they were played through.
std::unique_ptr<Match> MakeReplayMatch(Timeline timeline);

}  // namespace kraylo
