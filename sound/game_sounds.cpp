#include "sound/game_sounds.h"

#include <algorithm>
#include <optional>

#include "platform/data_files.h"
#include "platform/run_error.h"
#include "sound/wave_file.h"
#include "support/config.h"

namespace kraylo {
namespace {

// A contact this fast (pixels per tick, relative, along the line between the centres) or faster
// is heard at full loudness; a slower one in proportion, but never so quietly that it is lost.
constexpr double kLoudestContact = 14;
constexpr double kQuietestGain = 0.12;

float ContactGain(double speed) {
  return static_cast<float>(std::clamp(speed / kLoudestContact, kQuietestGain, 1.0));
}

}  // namespace

TickSounds SoundEventsOf(int64_t tick, const TickEvents& events) {
  TickSounds sounds;
  const auto add = [&sounds](SoundEvent event) { sounds.events[sounds.count++] = event; };
  if (events.round_start) add({SoundKind::kRoundStart, tick, 1});
  if (events.contact) add({SoundKind::kContact, tick, ContactGain(events.contact_speed)});
  if (events.drop) add({SoundKind::kDrop, tick, 1});
  return sounds;
}

SoundBank LoadSoundBank(Files& files, std::vector<std::string>& problems) {
  SoundBank bank;
  for (size_t i = 0; i < kSoundKinds; ++i) {
    const std::string path = ProgramPath(files, std::string(kSoundFolder).append(kSoundFiles[i]));
    std::optional<std::vector<int16_t>> samples;
    try {
      // A few seconds of sound at most; anything bigger is not ours.
      constexpr size_t kLargestFile = 1 << 20;
      samples = DecodeWave(files.ReadFile(path, kLargestFile));
    } catch (const RunError&) {
      samples.reset();
    }
    if (samples) {
      bank[i] = std::move(*samples);
    } else {
      problems.push_back("Sound file missing or damaged (it stays silent): " + path);
    }
  }
  return bank;
}

void GameSounds::Play(SoundPlayer* player) {
  const HeardChanges& changes = heard_.Settle();
  if (player == nullptr) return;
  for (const uint64_t voice : changes.fade) player->Fade(voice);
  for (const HeardEvent& heard : changes.start) {
    player->Start(heard.event.kind, heard.event.gain, heard.voice);
  }
}

}  // namespace kraylo
