// The states after the ticks this side has confirmed, from the last one the other side is known to
// have confirmed on: what both sides show when the game ends while their last ticks differ.
#pragma once

#include <cstdint>
#include <deque>
#include <utility>

#include "net/rollback.h"

namespace kraylo {

class ConfirmedStates {
 public:
  // Kept at most (ticks): far more than two sides that hear each other are ever apart.
  static constexpr size_t kMostKept = 256;

  explicit ConfirmedStates(GameState start) : start_(std::move(start)) {}

  // This side confirmed `tick` (the next one in order), leaving `after`.
  void Add(int64_t tick, const GameState& after);
  // The other side says it has confirmed `ticks` ticks (from 0 on).
  void TheirsUpTo(int64_t ticks);
  // Ticks both sides have confirmed, as far as this side knows: the state after the last of them
  // is kept, unless the other side has fallen more than kMostKept ticks behind (a peer that
  // never says; not one that plays), when it is the oldest state kept.
  int64_t shown() const;
  // The state after tick shown() - 1: the start when no tick is confirmed by both.
  const GameState& Latest() const;

 private:
  GameState start_;
  std::deque<std::pair<int64_t, GameState>> kept_;  // this side's, from tick both() - 1 on
  int64_t ours_ = 0;
  int64_t theirs_ = 0;
  int64_t both_ = 0;
};

}  // namespace kraylo
