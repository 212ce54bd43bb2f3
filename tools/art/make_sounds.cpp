// Writes the sound effects into a folder: contact.wav, drop.wav, round.wav and click.wav.
// Usage: make_sounds <folder>   (the build's `sounds` target writes dorvane/sound)
#include <cstdio>
#include <fstream>
#include <string>

#include "sound/wave_file.h"
#include "tools/art/sound_art.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <folder>\n");
    return 2;
  }
  for (size_t i = 0; i < kraylo::kSoundKinds; ++i) {
    const std::string path = std::string(argv[1]) + "/" + std::string(kraylo::kSoundFiles[i]);
    const std::string bytes =
        kraylo::EncodeWave(kraylo::art::Synthesise(static_cast<kraylo::SoundKind>(i)));
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
  }
  return 0;
}
