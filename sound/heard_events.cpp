#include "sound/heard_events.h"

#include <algorithm>
#include <cstdlib>

namespace kraylo {
namespace {

// A tick has a round's start, a contact and a drop at most; heard events are kept for
// kMemoryTicks behind a batch that may be as long again.
constexpr size_t kRoom = size_t{3} * 2 * (static_cast<size_t>(HeardEvents::kMemoryTicks) + 1);

}  // namespace

HeardEvents::HeardEvents() {
  for (std::vector<HeardEvent>* list : {&heard_, &still_, &changes_.start}) list->reserve(kRoom);
  kept_.reserve(kRoom);
  changes_.fade.reserve(kRoom);
  batch_.reserve(kRoom);
}

void HeardEvents::Ran(int64_t tick, std::span<const SoundEvent> events) {
  // A tick run again within the batch replaces what the batch had from it on.
  if (tick <= batch_high_) {
    std::erase_if(batch_, [tick](const SoundEvent& event) { return event.tick >= tick; });
  }
  batch_low_ = std::min(batch_low_, tick);
  batch_high_ = tick;
  batch_.insert(batch_.end(), events.begin(), events.end());
}

const HeardChanges& HeardEvents::Settle() {
  changes_.start.clear();
  changes_.fade.clear();
  if (batch_high_ < 0) return changes_;
  // Only ticks run before can hold events heard already; new ticks only add.
  const bool again = batch_low_ <= newest_;
  kept_.assign(heard_.size(), false);
  for (const SoundEvent& event : batch_) {
    bool same = false;
    for (size_t i = 0; again && !same && i < heard_.size(); ++i) {
      const SoundEvent& old = heard_[i].event;
      same = !kept_[i] && old.kind == event.kind && std::llabs(old.tick - event.tick) <= 1 &&
             old.tick >= batch_low_ - 1;
      if (same) kept_[i] = true;
    }
    if (!same) changes_.start.push_back({event, next_voice_++});
  }
  still_.clear();
  for (size_t i = 0; i < heard_.size(); ++i) {
    if (again && !kept_[i] && heard_[i].event.tick >= batch_low_) {
      changes_.fade.push_back(heard_[i].voice);
    } else if (heard_[i].event.tick >= batch_high_ - kMemoryTicks) {
      still_.push_back(heard_[i]);
    }
  }
  still_.insert(still_.end(), changes_.start.begin(), changes_.start.end());
  heard_.swap(still_);
  newest_ = std::max(newest_, batch_high_);
  batch_.clear();
  batch_low_ = INT64_MAX;
  batch_high_ = -1;
  return changes_;
}

}  // namespace kraylo
