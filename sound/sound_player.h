// The voices between the game and the audio thread. The frame loop and the ticks only add
// commands to a short list under a lock held for the copy; the audio thread takes the list at the
// start of each buffer, so a sound asked for at the end of a tick starts at the next buffer's
// first sample, and mixes without the lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "sound/mixer.h"

namespace kraylo {

class SoundPlayer {
 public:
  // Voices sounding at once at most; a sound asked for beyond them is left out.
  static constexpr size_t kMostVoices = 32;

  explicit SoundPlayer(SoundBank bank);

  // ---- From the game's side ----
  // Plays `kind` at `gain` (0 to 1) on voice `voice` (a number of the caller's; 0 is none).
  void Start(SoundKind kind, float gain, uint64_t voice = 0);
  // Fades voice `voice` out (within kFadeSamples); a voice that ended already is passed over.
  void Fade(uint64_t voice);
  // The output's level, 0 to 1 (the volume; 0 while muted).
  void SetLevel(float level) { level_.store(level); }

  // ---- On the audio thread ----
  // The next buffer of the output.
  void Fill(std::span<int16_t> out);
  // Voices started so far (counted by the audio thread as each one's first buffer is mixed).
  uint64_t started() const { return started_.load(); }

 private:
  struct Command {
    bool fade = false;
    SoundKind kind = SoundKind::kContact;
    float gain = 0;
    uint64_t voice = 0;
  };
  void Apply(const Command& command);

  const SoundBank bank_;
  std::atomic<float> level_{0};
  std::atomic<uint64_t> started_{0};
  std::mutex mutex_;
  std::vector<Command> pending_;  // under mutex_
  // The audio thread's own.
  std::vector<Command> taken_;
  std::vector<Voice> voices_;
  std::vector<uint64_t> voice_ids_;  // beside voices_
  int64_t position_ = 0;             // the output's sample the next buffer starts at
};

}  // namespace kraylo
