#include "sound/heard_events.h"

#include <algorithm>
#include <cstdlib>

namespace kraylo {

void HeardEvents::Ran(int64_t tick, const std::vector<SoundEvent>& events) {
  // A tick run again within the batch replaces what the batch had from it on.
  if (tick <= batch_high_) {
    std::erase_if(batch_, [tick](const SoundEvent& event) { return event.tick >= tick; });
  }
  batch_low_ = std::min(batch_low_, tick);
  batch_high_ = tick;
  batch_.insert(batch_.end(), events.begin(), events.end());
}

HeardChanges HeardEvents::Settle() {
  HeardChanges changes;
  if (batch_high_ < 0) return changes;
  // Only ticks run before can hold events heard already; new ticks only add.
  const bool again = batch_low_ <= newest_;
  std::vector<bool> kept(heard_.size(), false);
  for (const SoundEvent& event : batch_) {
    bool same = false;
    for (size_t i = 0; again && !same && i < heard_.size(); ++i) {
      const SoundEvent& old = heard_[i].event;
      same = !kept[i] && old.kind == event.kind && std::llabs(old.tick - event.tick) <= 1 &&
             old.tick >= batch_low_ - 1;
      if (same) kept[i] = true;
    }
    if (!same) changes.start.push_back({event, next_voice_++});
  }
  std::vector<HeardEvent> still;
  for (size_t i = 0; i < heard_.size(); ++i) {
    if (again && !kept[i] && heard_[i].event.tick >= batch_low_) {
      changes.fade.push_back(heard_[i].voice);
    } else if (heard_[i].event.tick >= batch_high_ - kMemoryTicks) {
      still.push_back(heard_[i]);
    }
  }
  still.insert(still.end(), changes.start.begin(), changes.start.end());
  heard_ = std::move(still);
  newest_ = std::max(newest_, batch_high_);
  batch_.clear();
  batch_low_ = INT64_MAX;
  batch_high_ = -1;
  return changes;
}

}  // namespace kraylo
