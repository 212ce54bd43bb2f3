// Rollback: one side of a network game runs its ticks at once with the other side's input
// predicted (its last known one), keeps a copy of the state after every tick, and when the real
// input arrives and differs, restores the state before the first wrong tick and runs the ticks
// again. A tick is confirmed once both sides' inputs for it are known: its state is final.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "game/game_state.h"
#include "input/directions.h"

namespace kraylo {

// Advances `state` by tick number `tick` (from 0) with the tick's directions of both balls.
using StepFunction = std::function<void(GameState& state, Directions input, int64_t tick)>;

// The game's own step: MoveTick with a key-state table that holds exactly `input`.
void StepGame(GameState& state, Directions input, int64_t tick);

class Rollback {
 public:
  // The most ticks run ahead of the other side's known input (ticks).
  static constexpr int64_t kPredictionWindow = 8;
  // Inputs kept per side, from the first tick not yet confirmed on (ticks).
  static constexpr int64_t kInputSpan = 64;
  // States kept, one per tick run: enough to go back over the whole prediction window (ticks).
  static constexpr int64_t kSnapshots = 16;

  // Called once per confirmed tick, in order: its number, its input byte (both balls) and the
  // state after it.
  using ConfirmedTick = std::function<void(int64_t tick, Directions input, const GameState& after)>;

  // `local_ball` (1 or 2) is the ball this side's inputs steer; the other side's steer the other.
  Rollback(const GameState& start, int local_ball, StepFunction step = StepGame);

  int64_t tick() const { return tick_; }                   // ticks run
  int64_t confirmed() const { return confirmed_; }         // ticks confirmed, from 0 on
  int64_t local_inputs() const { return local_count_; }    // this side's inputs known
  int64_t remote_inputs() const { return remote_count_; }  // the other side's, without a gap
  int64_t rollbacks() const { return rollbacks_; }         // times a wrong prediction was undone
  const GameState& state() const { return state_; }

  // This side's input (four bits) for the next tick without one.
  void AddLocal(Directions four);
  // This side's input for `tick`, which must lie within kInputSpan ticks below local_inputs().
  Directions LocalInput(int64_t tick) const;
  // The other side's input (four bits) for `tick`. Ticks already known, and ticks more than
  // kInputSpan - kSnapshots beyond tick(), are left alone (they come again). Settle() uses it.
  void AddRemote(int64_t tick, Directions four);
  // Undoes the wrong predictions the inputs added since the last call have shown, then confirms
  // every tick both inputs are known for.
  void Settle();
  // Whether the next tick lies within the prediction window of the other side's known inputs.
  bool WithinWindow() const { return tick_ < remote_count_ + kPredictionWindow; }
  // Runs tick() and keeps the state after it; raises when it is outside the window or its local
  // input is not known yet.
  void RunTick();
  // Restores the state before tick `from` and runs the ticks from there up to tick() again, with
  // the inputs known now; `from` must lie within kSnapshots - 1 ticks of tick().
  void Resimulate(int64_t from);

  // Told about every confirmed tick.
  void OnConfirmed(ConfirmedTick confirmed) { on_confirmed_ = std::move(confirmed); }

 private:
  static size_t InputSlot(int64_t tick) { return static_cast<size_t>(tick % kInputSpan); }
  static size_t StateSlot(int64_t tick) { return static_cast<size_t>(tick % kSnapshots); }
  bool RemoteKnown(int64_t tick) const;
  // The other side's input a tick runs with: the real one when known, else the last known.
  Directions RemoteFor(int64_t tick) const;
  Directions Merged(Directions local, Directions remote) const;
  void Run(int64_t tick);
  void Confirm();

  int local_ball_;
  StepFunction step_;
  GameState start_;
  GameState state_;
  std::array<GameState, kSnapshots> after_{};  // the state after tick t at t % kSnapshots
  std::array<Directions, kInputSpan> local_{};
  std::array<Directions, kInputSpan> remote_{};
  std::array<int64_t, kInputSpan> remote_tick_{};  // which tick remote_ holds in a slot; -1: none
  std::array<Directions, kInputSpan> used_{};      // the remote input a tick last ran with
  Directions last_remote_ = 0;  // the other side's input for tick remote_count_ - 1
  int64_t tick_ = 0;
  int64_t confirmed_ = 0;
  int64_t local_count_ = 0;
  int64_t remote_count_ = 0;
  int64_t rollbacks_ = 0;
  ConfirmedTick on_confirmed_;
};

}  // namespace kraylo
