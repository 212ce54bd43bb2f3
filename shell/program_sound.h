// The program's sound: the volume and mute the player chose, the output while it is open, and
// the game's events heard. Sound is beside the game: with it off, the program runs as without it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "platform/platform.h"
#include "sound/game_sounds.h"
#include "sound/sound_player.h"

namespace kraylo {

struct Program;

inline constexpr int kDefaultVolume = 70;  // [Sound] volume without the line, 0 to 100

// Closes the output when the program's sound goes, before the player it feeds goes.
class OpenOutput {
 public:
  OpenOutput() = default;
  explicit OpenOutput(AudioOutput& output) : output_(&output) {}
  ~OpenOutput() {
    if (output_ != nullptr) output_->Close();
  }
  OpenOutput(const OpenOutput&) = delete;
  OpenOutput& operator=(const OpenOutput&) = delete;
  OpenOutput& operator=(OpenOutput&& other) noexcept {
    std::swap(output_, other.output_);
    return *this;
  }

 private:
  AudioOutput* output_ = nullptr;
};

struct ProgramSound {
  int volume = kDefaultVolume;          // [Sound] volume, 0 to 100
  bool muted = false;                   // --mute, then the mute key
  bool none = false;                    // nothing will be heard: volume 0, or no output
  std::optional<uint8_t> mute_key;      // its entry of the key-state table; none when it has none
  bool mute_key_held = false;           // at the last frame, so that a held key switches once
  double note_until = 0;                // clock seconds: "Sound off" or "Sound on" shows until then
  GameSounds game;                      // the game's events heard
  std::unique_ptr<SoundPlayer> player;  // while the output plays; nullptr while silent
  OpenOutput output;                    // declared after the player: closes before it goes
};

// Reads [Sound] volume (0 to 100, the default without the line). Raises the malformed-line error
// for any other value.
int ReadVolume(Files& files);
// Opens the sound output unless the volume is 0; logs one line when the machine has none or it
// fails, and a line per sound file that cannot be played.
void StartSound(Program& program);
// Once per frame: the mute key's press switches mute and shows the note for a while.
void WatchMuteKey(Program& program);
// Plays what the game's ticks since the last call did.
void PlayGameSounds(Program& program);
// The menu's click.
void PlayClick(Program& program);
// The note to show now ("Sound off", "Sound on", "No sound"), or none.
std::optional<const char*> SoundNote(Program& program);

}  // namespace kraylo
