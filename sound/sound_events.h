// The sounds the program plays, and the game's events as the sound sees them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kraylo {

// Each sound has one file in the data folder's sound/ (kSoundFiles, same order).
enum class SoundKind : uint8_t { kContact, kDrop, kRoundStart, kClick };
inline constexpr size_t kSoundKinds = 4;
inline constexpr std::array<std::string_view, kSoundKinds> kSoundFiles = {"contact.wav", "drop.wav",
                                                                          "round.wav", "click.wav"};

inline constexpr size_t Index(SoundKind kind) { return static_cast<size_t>(kind); }

// One event of a game's tick that makes a sound.
struct SoundEvent {
  SoundKind kind = SoundKind::kContact;
  int64_t tick = 0;  // the game's tick it happened in, from 0
  float gain = 1;    // 0 to 1: a contact's loudness follows how hard the balls met
  friend bool operator==(const SoundEvent&, const SoundEvent&) = default;
};

}  // namespace kraylo
