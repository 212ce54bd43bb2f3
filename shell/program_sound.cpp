#include "shell/program_sound.h"

#include <chrono>
#include <span>
#include <string>
#include <vector>

#include "shell/config_keys.h"
#include "shell/program.h"
#include "support/config.h"
#include "support/log.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// How long "Sound off" or "Sound on" shows after the mute key, seconds.
constexpr double kNoteSeconds = 1.5;
constexpr int kLoudest = 100;

void SetLevel(ProgramSound& sound) {
  if (sound.player)
    sound.player->SetLevel(sound.muted ? 0.0F : static_cast<float>(sound.volume) / kLoudest);
}

}  // namespace

int ReadVolume(Files& files) {
  const std::optional<ConfigLine> line =
      ReadSettings(files, kConfigFile, kSoundSection, kSoundSectionKeys).Find(kVolumeKey);
  if (!line) return kDefaultVolume;
  const std::optional<int> volume = WholeNumberIn(Strip(line->value), 0, kLoudest);
  if (!volume)
    RaiseBadLine(*line, kSoundSection, "has a value other than a whole number from 0 to 100");
  return *volume;
}

OutputOpening::OutputOpening(AudioOutput& output, std::unique_ptr<SoundPlayer> player)
    : output_(output), player_(std::move(player)) {
  SoundPlayer* live = player_.get();
  outcome_ = std::async(std::launch::async, [&output, live] {
    return output.Open([live](std::span<int16_t> samples) { live->Fill(samples); });
  });
}

OutputOpening::~OutputOpening() {
  if (outcome_.valid() && outcome_.get().empty()) output_.Close();
}

bool OutputOpening::Ended() const {
  return outcome_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

std::string OutputOpening::Take(std::unique_ptr<SoundPlayer>& player) {
  std::string failure = outcome_.get();
  if (failure.empty()) player = std::move(player_);
  return failure;
}

void StartSound(Program& program) {
  ProgramSound& sound = program.sound;
  sound.none = sound.volume == 0;
  if (sound.none) return;
  std::vector<std::string> problems;
  auto player = std::make_unique<SoundPlayer>(LoadSoundBank(program.system.files(), problems));
  for (const std::string& problem : problems) AddLog(program.system.window(), problem);
  sound.opening.emplace(program.system.audio(), std::move(player));
}

void ServeSound(Program& program) {
  ProgramSound& sound = program.sound;
  if (!sound.opening || !sound.opening->Ended()) return;
  std::unique_ptr<SoundPlayer> player;
  const std::string failure = sound.opening->Take(player);
  sound.opening.reset();
  if (!failure.empty()) {
    AddLog(program.system.window(), "No sound: " + failure);
    sound.none = true;
    return;
  }
  sound.player = std::move(player);
  sound.output = OpenOutput(program.system.audio());
  SetLevel(sound);
}

void WatchMuteKey(Program& program) {
  ProgramSound& sound = program.sound;
  if (!sound.mute_key) return;
  KeyTable keys{};
  bool held = false;
  Guarded([&] {
    program.system.keyboard().GetState(keys);
    held = keys[*sound.mute_key] != 0;
  });
  if (held && !sound.mute_key_held) {
    sound.muted = !sound.muted;
    sound.note_until = program.system.clock().Seconds() + kNoteSeconds;
    SetLevel(sound);
  }
  sound.mute_key_held = held;
}

void PlayGameSounds(Program& program) { program.sound.game.Play(program.sound.player.get()); }

void PlayClick(Program& program) {
  if (program.sound.player) program.sound.player->Start(SoundKind::kClick, 1);
}

std::optional<const char*> SoundNote(Program& program) {
  const ProgramSound& sound = program.sound;
  if (sound.note_until == 0 || program.system.clock().Seconds() >= sound.note_until) {
    return std::nullopt;
  }
  if (sound.none) return "No sound";
  return sound.muted ? "Sound off" : "Sound on";
}

}  // namespace kraylo
