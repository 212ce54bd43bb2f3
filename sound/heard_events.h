// Which of a game's events have been heard, so that each is heard once however often its tick
// runs. A network game runs ticks with the other player's keys guessed and runs them again when
// the guess was wrong: an event of the same kind within one tick of one already heard is that
// same event, and one the corrected run no longer has is taken back (its sound fades out).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sound/sound_events.h"

namespace kraylo {

// An event heard, and the voice it plays on.
struct HeardEvent {
  SoundEvent event;
  uint64_t voice = 0;
};

// What one batch of ticks changes in what is heard.
struct HeardChanges {
  std::vector<HeardEvent> start;  // new events: play each on its voice
  std::vector<uint64_t> fade;     // voices of events the ticks run again no longer have
};

// Its lists are made with room for every event of a batch of up to kMemoryTicks ticks, so that
// running and settling ticks allocates nothing.
class HeardEvents {
 public:
  // The ticks kept for matching behind the newest tick run; more than a rollback reaches back.
  static constexpr int64_t kMemoryTicks = 64;

  HeardEvents();
  // Tick `tick` ran (for the first time, or again) with these events, whose tick is `tick`.
  void Ran(int64_t tick, std::span<const SoundEvent> events);
  // Ends the batch of ticks run since the last call and says what to start and what to fade,
  // until the next call.
  const HeardChanges& Settle();

 private:
  std::vector<HeardEvent> heard_;  // heard, oldest first
  std::vector<HeardEvent> still_;  // Settle's scratch: what stays heard
  std::vector<bool> kept_;         // Settle's scratch: the heard events the batch has again
  HeardChanges changes_;           // the last Settle's
  std::vector<SoundEvent> batch_;  // the batch's events
  int64_t batch_low_ = INT64_MAX;  // the batch's lowest tick run
  int64_t batch_high_ = -1;        // the batch's highest tick run
  int64_t newest_ = -1;            // the highest tick run before the batch
  uint64_t next_voice_ = 1;
};

}  // namespace kraylo
