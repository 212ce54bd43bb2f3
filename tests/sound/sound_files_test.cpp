// The committed sound files are what the generator makes, and the reader takes only our format.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sound/wave_file.h"
#include "tools/art/sound_art.h"

namespace kraylo {
namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

TEST(SoundFiles, EachIsWhatTheGeneratorMakes) {
  for (size_t i = 0; i < kSoundKinds; ++i) {
    const std::string path = KRAYLO_SOURCE_DIR "/dorvane/sound/" + std::string(kSoundFiles[i]);
    const std::vector<int16_t> made = art::Synthesise(static_cast<SoundKind>(i));
    EXPECT_EQ(ReadWhole(path), EncodeWave(made))
        << path << " differs from its generator: cmake --build <dir> --target sounds";
    EXPECT_EQ(DecodeWave(ReadWhole(path)), made) << path;
  }
}

TEST(SoundFiles, OnlySixteenBitMonoAtTheOutputRateIsRead) {
  const std::string good = EncodeWave({1, -2, 3});
  struct Case {
    const char* what;
    size_t at;  // byte to change
    char to;
  };
  for (const Case& c : {Case{"not RIFF", 0, 'X'}, Case{"stereo", 22, 2}, Case{"8 bits", 34, 8},
                        Case{"44.1 kHz", 24, '\x44'}, Case{"data longer than the file", 40, 9}}) {
    std::string bad = good;
    bad[c.at] = c.to;
    EXPECT_FALSE(DecodeWave(bad)) << c.what;
  }
  EXPECT_FALSE(DecodeWave(good.substr(0, 43))) << "cut inside the header";
}

}  // namespace
}  // namespace kraylo
