// The mixer as a function of voices stamped by sample, and the player the audio thread runs.
#include "sound/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "sound/sound_player.h"

namespace kraylo {
namespace {

constexpr int16_t kLoud = 20000;
constexpr int64_t kLength = 100;  // samples of each test sound

// Every sound a block of kLoud, kLength samples long.
SoundBank Blocks() {
  SoundBank bank;
  for (auto& sound : bank) sound.assign(kLength, kLoud);
  return bank;
}

std::vector<int16_t> Mixed(const std::vector<Voice>& voices, float level, int64_t first = 0,
                           size_t size = 4000) {
  std::vector<int16_t> out(size, 1);
  Mix(out, first, voices, Blocks(), level);
  return out;
}

// The samples from `from` to `to` (exclusive) that are not silent.
int64_t Sounding(const std::vector<int16_t>& out, int64_t from, int64_t to) {
  return std::count_if(out.begin() + from, out.begin() + to, [](int16_t s) { return s != 0; });
}

TEST(Mixer, EachVoiceSoundsInItsWindowAndNowhereElse) {
  struct Case {
    const char* what;
    std::vector<Voice> voices;
    int64_t first;                                     // the buffer's first sample of the output
    std::vector<std::pair<int64_t, int64_t>> windows;  // in the buffer
  };
  const Case cases[] = {
      {"one voice", {{SoundKind::kDrop, 300, 1, kNoFade}}, 0, {{300, 400}}},
      {"two apart",
       {{SoundKind::kContact, 10, 1, kNoFade}, {SoundKind::kClick, 1000, 1, kNoFade}},
       0,
       {{10, 110}, {1000, 1100}}},
      {"begun before the buffer", {{SoundKind::kDrop, 950, 1, kNoFade}}, 1000, {{0, 50}}},
      {"a fade shortens it", {{SoundKind::kDrop, 0, 1, 20}}, 0, {{0, 100}}},
  };
  for (const Case& c : cases) {
    const std::vector<int16_t> out = Mixed(c.voices, 1, c.first);
    int64_t inside = 0;
    for (const auto& [from, to] : c.windows) {
      EXPECT_EQ(Sounding(out, from, to), to - from) << c.what;
      inside += to - from;
    }
    EXPECT_EQ(Sounding(out, 0, static_cast<int64_t>(out.size())), inside) << c.what;
  }
}

TEST(Mixer, VolumeScalesAndMuteOrNoVolumeIsSilent) {
  const std::vector<Voice> voice = {{SoundKind::kContact, 0, 1, kNoFade}};
  EXPECT_EQ(Mixed(voice, 0.5F)[0], kLoud / 2);
  EXPECT_EQ(Mixed(voice, 0.25F)[0], kLoud / 4);
  EXPECT_EQ(Mixed({{SoundKind::kContact, 0, 0.5F, kNoFade}}, 1)[0], kLoud / 2) << "a soft contact";
  EXPECT_EQ(Sounding(Mixed(voice, 0), 0, 4000), 0) << "muted, or volume 0";
}

TEST(Mixer, ManyAtOnceGetLouderWithoutClipping) {
  int16_t last = 0;
  for (const int voices : {1, 2, 4, 8, 32}) {
    const std::vector<Voice> crowd(static_cast<size_t>(voices), {SoundKind::kDrop, 0, 1, kNoFade});
    const int16_t peak = Mixed(crowd, 1)[0];
    EXPECT_GT(peak, last) << voices << " voices";
    EXPECT_LT(peak, 32767) << voices << " voices";
    last = peak;
  }
}

TEST(Mixer, AFadedVoiceIsSilentWithinFiftyMilliseconds) {
  SoundBank bank;
  bank[Index(SoundKind::kContact)].assign(48000, kLoud);
  std::vector<int16_t> out(48000);
  Mix(out, 0, std::vector<Voice>{{SoundKind::kContact, 0, 1, 1000}}, bank, 1);
  EXPECT_EQ(out[1000], kLoud);
  EXPECT_LT(out[1000 + kFadeSamples / 2], kLoud);
  EXPECT_EQ(Sounding(out, 1000 + 48000 * 50 / 1000, 48000), 0);
}

TEST(SoundPlayer, ASoundAskedForStartsAtTheNextBuffersFirstSample) {
  SoundPlayer player(Blocks());
  player.SetLevel(1);
  std::vector<int16_t> buffer(512);
  player.Fill(buffer);
  player.Start(SoundKind::kContact, 1, 7);
  player.Fill(buffer);
  EXPECT_EQ(Sounding(buffer, 0, 512), kLength);
  EXPECT_EQ(buffer[0], kLoud);
  player.Start(SoundKind::kDrop, 1, 8);
  player.Fade(8);
  player.Fill(buffer);
  EXPECT_LT(buffer[kLength / 2], kLoud) << "fading from its first sample";
  EXPECT_EQ(player.started(), 2U);
}

}  // namespace
}  // namespace kraylo
