// A game's ticks as the players hear them: each tick's events become sounds once, however often
// the tick runs, on the player when there is one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/motion.h"
#include "platform/platform.h"
#include "sound/heard_events.h"
#include "sound/mixer.h"
#include "sound/sound_player.h"

namespace kraylo {

// The sound events of one tick, held in place: a tick allocates nothing.
struct TickSounds {
  std::array<SoundEvent, 3> events;  // a round's start, a contact and a drop at most
  size_t count = 0;
  std::span<const SoundEvent> view() const { return {events.data(), count}; }
};

// The sound events of tick `tick`, whose events are `events`. A contact's gain follows its speed.
TickSounds SoundEventsOf(int64_t tick, const TickEvents& events);

// The data folder's sounds (its sound/ folder). A file that is missing or not a sound of ours
// plays as silence, and `problems` gets a line naming it.
SoundBank LoadSoundBank(Files& files, std::vector<std::string>& problems);

class GameSounds {
 public:
  // Tick `tick` ran, for the first time or again (a network game's ticks).
  void Ran(int64_t tick, const TickEvents& events) {
    heard_.Ran(tick, SoundEventsOf(tick, events).view());
  }
  // The next tick of a game whose ticks each run once (local games, replays).
  void RanNext(const TickEvents& events) { Ran(next_tick_++, events); }
  // Plays what the ticks run since the last call newly did and fades what they took back;
  // without a player the events are only taken note of.
  void Play(SoundPlayer* player);

 private:
  HeardEvents heard_;
  int64_t next_tick_ = 0;
};

}  // namespace kraylo
