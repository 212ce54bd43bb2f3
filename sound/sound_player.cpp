#include "sound/sound_player.h"

#include <algorithm>
#include <utility>

namespace kraylo {
namespace {

// Commands a frame can leave before the audio thread takes them; room reserved so that swapping
// the lists never makes the audio thread allocate.
constexpr size_t kCommandRoom = 256;

}  // namespace

SoundPlayer::SoundPlayer(SoundBank bank) : bank_(std::move(bank)) {
  pending_.reserve(kCommandRoom);
  taken_.reserve(kCommandRoom);
  voices_.reserve(kMostVoices);
  voice_ids_.reserve(kMostVoices);
}

void SoundPlayer::Start(SoundKind kind, float gain, uint64_t voice) {
  const std::lock_guard lock(mutex_);
  if (pending_.size() < kCommandRoom) pending_.push_back({false, kind, gain, voice});
}

void SoundPlayer::Fade(uint64_t voice) {
  const std::lock_guard lock(mutex_);
  if (pending_.size() < kCommandRoom) pending_.push_back({true, SoundKind::kContact, 0, voice});
}

void SoundPlayer::Apply(const Command& command) {
  if (command.fade) {
    const auto found = std::find(voice_ids_.begin(), voice_ids_.end(), command.voice);
    if (command.voice == 0 || found == voice_ids_.end()) return;
    Voice& voice = voices_[static_cast<size_t>(found - voice_ids_.begin())];
    voice.fade_from = std::min(voice.fade_from, position_);
    return;
  }
  if (voices_.size() == kMostVoices) return;
  voices_.push_back({command.kind, position_, std::clamp(command.gain, 0.0F, 1.0F), kNoFade});
  voice_ids_.push_back(command.voice);
  started_.fetch_add(1);
}

void SoundPlayer::Fill(std::span<int16_t> out) {
  {
    const std::lock_guard lock(mutex_);
    std::swap(pending_, taken_);
  }
  for (const Command& command : taken_) Apply(command);
  taken_.clear();
  Mix(out, position_, voices_, bank_, level_.load());
  position_ += static_cast<int64_t>(out.size());
  for (size_t i = voices_.size(); i-- > 0;) {
    if (Finished(voices_[i], bank_, position_)) {
      voices_.erase(voices_.begin() + static_cast<std::ptrdiff_t>(i));
      voice_ids_.erase(voice_ids_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

}  // namespace kraylo
