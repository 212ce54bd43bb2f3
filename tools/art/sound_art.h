// The sound effects, synthesised: the same samples on every machine (plain arithmetic, no
// library sine), so that the committed files can be checked against this code.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/sound_events.h"

namespace kraylo::art {

// The samples of `kind`'s effect at the output's rate, mono.
std::vector<int16_t> Synthesise(SoundKind kind);

}  // namespace kraylo::art
