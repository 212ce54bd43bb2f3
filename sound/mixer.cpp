#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace kraylo {
namespace {

constexpr float kFullScale = 32767;
// Below this share of full scale the sum passes unchanged; above it, it bends towards full scale
// without reaching it, so that a crowd of sounds gets denser rather than cracked.
constexpr float kKnee = 0.7F;

float Pressed(float sample) {
  const float size = std::fabs(sample);
  if (size <= kKnee) return sample;
  const float over = size - kKnee;
  const float room = 1 - kKnee;
  const float bent = kKnee + room * over / (over + room);
  return sample < 0 ? -bent : bent;
}

// The voice's gain at output sample `sample` (a straight fade once it began).
float GainAt(const Voice& voice, int64_t sample) {
  if (sample < voice.fade_from) return voice.gain;
  const int64_t into = sample - voice.fade_from;
  if (into >= kFadeSamples) return 0;
  return voice.gain * static_cast<float>(kFadeSamples - into) / static_cast<float>(kFadeSamples);
}

}  // namespace

void Mix(std::span<int16_t> out, int64_t first, std::span<const Voice> voices,
         const SoundBank& bank, float level) {
  std::fill(out.begin(), out.end(), int16_t{0});
  if (level <= 0) return;
  const auto length = static_cast<int64_t>(out.size());
  // Summed per sample in floating point; the buffer is small, so a second pass costs nothing.
  std::array<float, 1024> sums{};
  for (int64_t done = 0; done < length; done += static_cast<int64_t>(sums.size())) {
    const int64_t count = std::min<int64_t>(length - done, static_cast<int64_t>(sums.size()));
    std::fill(sums.begin(), sums.end(), 0.0F);
    const int64_t from = first + done;
    for (const Voice& voice : voices) {
      const std::vector<int16_t>& samples = bank[Index(voice.kind)];
      const int64_t begin = std::max(from, voice.start);
      const int64_t end =
          std::min({from + count, voice.start + static_cast<int64_t>(samples.size()),
                    voice.fade_from == kNoFade ? kNoFade : voice.fade_from + kFadeSamples});
      for (int64_t sample = begin; sample < end; ++sample) {
        sums[static_cast<size_t>(sample - from)] +=
            static_cast<float>(samples[static_cast<size_t>(sample - voice.start)]) *
            GainAt(voice, sample);
      }
    }
    for (int64_t i = 0; i < count; ++i) {
      const float mixed = Pressed(sums[static_cast<size_t>(i)] * level / kFullScale);
      out[static_cast<size_t>(done + i)] = static_cast<int16_t>(std::lround(mixed * kFullScale));
    }
  }
}

bool Finished(const Voice& voice, const SoundBank& bank, int64_t sample) {
  const int64_t end = voice.start + static_cast<int64_t>(bank[Index(voice.kind)].size());
  const bool faded = voice.fade_from != kNoFade && sample >= voice.fade_from + kFadeSamples;
  return sample >= end || faded;
}

}  // namespace kraylo
