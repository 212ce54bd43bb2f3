// Recorded games as one timeline: the exact state at any tick of any game, found from a state kept
// at intervals and the recorded ticks after it, so that a seek costs at most one interval of ticks
// however long the games are. The games may still be growing (a game watched as it is played).
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "game/game_state.h"
#include "input/directions.h"
#include "replay/replay_file.h"

namespace kraylo {

// A place on the timeline: game `game` (from 0) after `tick` of its ticks have run (0: its start).
struct TimelinePosition {
  size_t game = 0;
  uint32_t tick = 0;
  friend auto operator<=>(const TimelinePosition&, const TimelinePosition&) = default;
};

class Timeline {
 public:
  // Ticks between two kept states: a seek runs fewer than this many ticks (some 0.3 ms).
  static constexpr uint32_t kTicksPerKeptState = 1000;

  // No game yet: games and their ticks come as they are played.
  Timeline() = default;
  // Every game of `replay`, played through once, each recorded checksum compared with the state
  // reached as --check-replay compares them: raises the same ReplayError at the first mismatch.
  explicit Timeline(const Replay& replay);

  // A new game begins (the one before has all its ticks): its seed and field (pixels).
  void BeginGame(uint64_t seed, int32_t width, int32_t height);
  // More ticks of the last game, run at once to keep states and compare checksums; raises
  // ReplayError when a checksum already given does not match.
  void AddTicks(std::span<const Directions> inputs);
  // A recorded checksum of the last game, at a tick it has run or will run; raises ReplayError
  // when it does not match (at once, or once the tick has run).
  void AddCheckpoint(const ReplayCheckpoint& checkpoint);

  size_t Games() const { return games_.size(); }
  // Ticks game `game` has so far; its positions run from tick 0 to this.
  uint32_t Ticks(size_t game) const { return static_cast<uint32_t>(games_.at(game).inputs.size()); }

  // Every position of every game, one after the other: a game of N ticks has N + 1 of them.
  uint64_t Length() const;
  // A position's place among them (from 0), and the position at a place (the last for a place
  // past the end). The timeline must hold a game.
  uint64_t IndexOf(TimelinePosition position) const;
  TimelinePosition PositionAt(uint64_t index) const;
  TimelinePosition Last() const;

  // The state at `position` (which must lie on the timeline), bit for bit the one reached by
  // running the game's ticks from its start.
  GameState StateAt(TimelinePosition position) const;
  // The directions of the tick that runs from `position` (before the game's end).
  Directions InputAt(TimelinePosition position) const;

  // States kept, and the memory they take (bytes).
  size_t KeptStates() const;
  size_t KeptBytes() const { return KeptStates() * sizeof(GameState); }

 private:
  struct TrackedGame {
    std::vector<Directions> inputs;         // one per tick, in order
    std::vector<GameState> kept;            // after 0, K, 2K ... ticks (K: kTicksPerKeptState)
    GameState newest;                       // after `newest_tick` ticks
    uint32_t newest_tick = 0;               // all of `inputs` once they are run
    std::vector<ReplayCheckpoint> waiting;  // checksums of ticks not yet run, ascending
    uint64_t first_index = 0;               // the place of its tick 0 on the timeline
  };

  void AddGame(uint64_t seed, int32_t width, int32_t height);
  // Runs game `index`'s newest state through its ticks not yet run, keeping states and comparing
  // the checksums waiting for them.
  void RunNewTicks(size_t index);
  // Raises the ReplayError of a checksum of game `game` that `state` does not have.
  void Compare(size_t game, const ReplayCheckpoint& checkpoint, const GameState& state) const;

  std::vector<TrackedGame> games_;
};

}  // namespace kraylo
