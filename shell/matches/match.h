// What plays a game's ticks. A local game runs one tick of the simulation per tick of tmrMove with
// the players' keys; other kinds of game decide the keys of each tick (and how many ticks run)
// otherwise, but every kind only decides what the key-state table of a tick holds.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/keys.h"
#include "replay/replay_file.h"

namespace kraylo {

struct Program;

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
};

// Two players at this machine: each tick runs the simulation once on the local keys; while the
// run records (Program::recorder), the rounds come from a recorded seed and every tick is recorded.
std::unique_ptr<Match> MakeLocalMatch();
// Recorded games shown again, one recorded tick per tick, with the viewer's Esc and Tab.
std::unique_ptr<Match> MakeReplayMatch(Replay replay);

}  // namespace kraylo
