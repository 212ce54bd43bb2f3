// The sound files: RIFF WAVE, 16-bit mono PCM at the output's rate, nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kraylo {

inline constexpr int kSampleRate = 48000;  // samples per second, files and output alike

// The bytes of a WAVE file holding `samples`.
std::string EncodeWave(const std::vector<int16_t>& samples);
// The samples of a WAVE file; nullopt for anything but 16-bit mono PCM at kSampleRate, or a file
// cut short.
std::optional<std::vector<int16_t>> DecodeWave(const std::string& bytes);

}  // namespace kraylo
