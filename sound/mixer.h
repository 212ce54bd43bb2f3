// The mixer as a plain function: the voices playing, each stamped with the sample it starts at,
// mixed into one buffer of the output. The audio thread calls it with the live voices; the tests
// call it with tables of their own.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "sound/sound_events.h"

namespace kraylo {

// Every sound's samples, in the order of SoundKind; an empty one plays as silence.
using SoundBank = std::array<std::vector<int16_t>, kSoundKinds>;

// A fading voice is silent this many samples after its fade began (40 ms).
inline constexpr int64_t kFadeSamples = 48000 * 40 / 1000;
inline constexpr int64_t kNoFade = std::numeric_limits<int64_t>::max();

// One sound playing.
struct Voice {
  SoundKind kind = SoundKind::kContact;
  int64_t start = 0;            // the output's sample (counted from 0) its first sample goes to
  float gain = 1;               // 0 to 1
  int64_t fade_from = kNoFade;  // the output's sample its fade-out begins at
};

// Mixes `voices` into `out`, whose first sample is the output's sample `first`, at `level` (0 to
// 1: the volume, 0 when muted). Silence where no voice sounds; several loud voices at once are
// pressed together towards full scale instead of clipping.
void Mix(std::span<int16_t> out, int64_t first, std::span<const Voice> voices,
         const SoundBank& bank, float level);

// Whether `voice` has nothing left to play from the output's sample `sample` on.
bool Finished(const Voice& voice, const SoundBank& bank, int64_t sample);

}  // namespace kraylo
