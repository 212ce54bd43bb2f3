// The program's sound: the volume and mute the player chose, the output while it is open, and
// the game's events heard. Sound is beside the game: with it off, the program runs as without it.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
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

// The output opened on a worker thread, so that a slow sound server holds nothing up; the player it
// will feed waits here until the frame loop takes both.
class OutputOpening {
 public:
  OutputOpening(AudioOutput& output, std::unique_ptr<SoundPlayer> player);
  // Waits for the opening to end, and closes an output that opened but was never taken.
  ~OutputOpening();
  OutputOpening(const OutputOpening&) = delete;
  OutputOpening& operator=(const OutputOpening&) = delete;

  // Whether the opening has ended.
  bool Ended() const;
  // Once Ended: "" when the output plays (the player is handed over in `player`), else why not.
  std::string Take(std::unique_ptr<SoundPlayer>& player);

 private:
  AudioOutput& output_;
  std::unique_ptr<SoundPlayer> player_;
  std::future<std::string> outcome_;
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
  std::optional<OutputOpening> opening;  // while the output is being opened
};

// Reads [Sound] volume (0 to 100, the default without the line). Raises the malformed-line error
// for any other value.
int ReadVolume(Files& files);
// Starts opening the sound output unless the volume is 0, and logs a line per sound file that
// cannot be played. The game is silent until the output is open.
void StartSound(Program& program);
// Once per frame: takes the output once it is open, or logs one line when the machine has none or
// it fails.
void ServeSound(Program& program);
// Once per frame: the mute key's press switches mute and shows the note for a while.
void WatchMuteKey(Program& program);
// Plays what the game's ticks since the last call did.
void PlayGameSounds(Program& program);
// The menu's click.
void PlayClick(Program& program);
// The note to show now ("Sound off", "Sound on", "No sound"), or none.
std::optional<const char*> SoundNote(Program& program);

}  // namespace kraylo
