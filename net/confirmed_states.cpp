#include "net/confirmed_states.h"

#include <algorithm>

namespace kraylo {

void ConfirmedStates::Add(int64_t tick, const GameState& after) {
  kept_.emplace_back(tick, after);
  ours_ = tick + 1;
  TheirsUpTo(theirs_);
}

void ConfirmedStates::TheirsUpTo(int64_t ticks) {
  theirs_ = std::max(theirs_, ticks);
  both_ = std::min(ours_, theirs_);
  // The state after tick both_ - 1 must stay; a side far behind costs the oldest ones.
  while (!kept_.empty() && (kept_.front().first < both_ - 1 || kept_.size() > kMostKept)) {
    kept_.pop_front();
  }
}

int64_t ConfirmedStates::shown() const {
  if (both_ == 0 || kept_.empty()) return 0;
  return std::max(both_, kept_.front().first + 1);
}

const GameState& ConfirmedStates::Latest() const {
  const int64_t shown_ticks = shown();
  if (shown_ticks == 0) return start_;
  return kept_[static_cast<size_t>(shown_ticks - 1 - kept_.front().first)].second;
}

}  // namespace kraylo
