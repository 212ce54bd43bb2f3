#include "net/rollback.h"

#include <algorithm>

#include "game/motion.h"
#include "platform/run_error.h"

namespace kraylo {

void StepGame(GameState& state, Directions input, int64_t) {
  MoveTick(state.game, input, state.random);
}

Rollback::Rollback(const GameState& start, int local_ball, StepFunction step)
    : local_ball_(local_ball), step_(std::move(step)), start_(start), state_(start) {
  remote_tick_.fill(-1);
}

void Rollback::AddLocal(Directions four) {
  local_[InputSlot(local_count_)] = static_cast<Directions>(four & 0x0F);
  ++local_count_;
}

Directions Rollback::LocalInput(int64_t tick) const {
  if (tick < 0 || tick >= local_count_ || tick < local_count_ - kInputSpan) {
    Raise(kErrSubscript, "The input of tick " + std::to_string(tick) + " is no longer kept");
  }
  return local_[InputSlot(tick)];
}

void Rollback::AddRemote(int64_t tick, Directions four) {
  // Beyond this a slot could still hold an input the kept states were run with.
  if (tick < remote_count_ || tick >= tick_ + kInputSpan - kSnapshots) return;
  remote_[InputSlot(tick)] = static_cast<Directions>(four & 0x0F);
  remote_tick_[InputSlot(tick)] = tick;
}

bool Rollback::RemoteKnown(int64_t tick) const { return remote_tick_[InputSlot(tick)] == tick; }

Directions Rollback::RemoteFor(int64_t tick) const {
  return RemoteKnown(tick) ? remote_[InputSlot(tick)] : last_remote_;
}

Directions Rollback::Merged(Directions local, Directions remote) const {
  return static_cast<Directions>(ForBall(local, local_ball_) | ForBall(remote, 3 - local_ball_));
}

void Rollback::Settle() {
  const int64_t before = remote_count_;
  while (RemoteKnown(remote_count_)) {
    last_remote_ = remote_[InputSlot(remote_count_)];
    ++remote_count_;
  }
  // Only the ticks that ran before their input was known can have run with a wrong one.
  const int64_t checked_up_to = std::min(remote_count_, tick_);
  for (int64_t tick = before; tick < checked_up_to; ++tick) {
    if (used_[InputSlot(tick)] != remote_[InputSlot(tick)]) {
      Resimulate(tick);
      ++rollbacks_;
      break;
    }
  }
  Confirm();
}

void Rollback::Run(int64_t tick) {
  const Directions remote = RemoteFor(tick);
  used_[InputSlot(tick)] = remote;
  step_(state_, Merged(local_[InputSlot(tick)], remote), tick);
  after_[StateSlot(tick)] = state_;
}

void Rollback::RunTick() {
  if (!WithinWindow() || tick_ >= local_count_)
    Raise(kErrInvalidArgument, "Tick " + std::to_string(tick_) + " cannot run yet");
  Run(tick_);
  ++tick_;
  Confirm();
}

void Rollback::Resimulate(int64_t from) {
  if (from < 0 || from > tick_ || tick_ - from >= kSnapshots) {
    Raise(kErrSubscript, "The state before tick " + std::to_string(from) + " is no longer kept");
  }
  state_ = from == 0 ? start_ : after_[StateSlot(from - 1)];
  for (int64_t tick = from; tick < tick_; ++tick) Run(tick);
}

void Rollback::Confirm() {
  const int64_t now_confirmed = std::min({remote_count_, tick_, local_count_});
  for (; confirmed_ < now_confirmed; ++confirmed_) {
    if (!on_confirmed_) continue;
    const size_t slot = InputSlot(confirmed_);
    on_confirmed_(confirmed_, Merged(local_[slot], remote_[slot]), after_[StateSlot(confirmed_)]);
  }
}

}  // namespace kraylo
