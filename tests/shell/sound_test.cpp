// The program's sound as a player meets it: [Sound] volume, --mute, the mute key, no device.
#include <algorithm>

#include "platform/devices/faults.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

constexpr uint8_t kM = 0x32;
constexpr float kButtonX = 400;  // the middle of every menu button at dispX = 800
// The middle of menu button `number`: 2 shows the empty screen, 3 does nothing.
constexpr float ButtonY(int number) { return 266 + 40 * static_cast<float>(number - 1); }

bool Heard(const std::vector<int16_t>& samples) {
  return std::any_of(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
}

// The log's lines after the pad lines, but for the frame loop's first.
std::vector<std::string> LinesAfterPads(Window& window) {
  const std::vector<std::string> lines = LogLines(window);
  const auto pads = std::find(lines.begin(), lines.end(), "No pads found");
  if (pads == lines.end()) return {"(no pad line)"};
  std::vector<std::string> after(pads + 1, lines.end());
  std::erase(after, " Unpacking resources...");
  return after;
}

TEST(SoundSession, TheSettingTheOptionAndTheMachineDecideWhetherAClickIsHeard) {
  const struct {
    const char* what;
    const char* config;  // after Config()
    bool mute_option;
    bool no_device;
    bool open;
    bool heard;
    std::vector<std::string> logged;  // after the pad lines
  } cases[] = {
      {"as it comes", "", false, false, true, true, {}},
      {"volume 100", "[Sound]\r\nvolume = 100\r\n", false, false, true, true, {}},
      {"volume 0", "[Sound]\r\nvolume = 0\r\n", false, false, false, false, {}},
      {"--mute", "", true, false, true, false, {}},
      {"no device", "", false, true, false, false, {"No sound: no device here"}},
      {"M steers a ball",
       "[Keys]\r\np1Left = M\r\n",
       false,
       false,
       true,
       true,
       {"No mute key: M steers p1Left"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Session s;
    s.WriteConfig(Config() + c.config);
    s.program.options.mute = c.mute_option;
    if (c.no_device) s.machine.faults().Arm(Fault::kOpenAudio, 0, "no device here");
    std::vector<int16_t> samples;
    bool open = false;
    s.AtFrame(2, [&] { Click(s.machine, kButtonX, ButtonY(2)); });
    s.AtFrame(4, [&] {
      open = s.machine.AudioOpen();
      samples = s.machine.PullAudio(4096);
    });
    s.EndFrom(5);
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(open, c.open);
    EXPECT_EQ(Heard(samples), c.heard);
    EXPECT_EQ(LinesAfterPads(s.machine.window()), c.logged);
    EXPECT_TRUE(s.machine.ErrorReports().empty());
  }
}

TEST(SoundSession, TheMuteKeySwitchesTheSoundAndSaysSo) {
  Session s;
  std::vector<int16_t> muted;
  std::vector<int16_t> unmuted;
  std::vector<std::string> notes;
  auto note = [&] {
    for (const TextDraw& text : s.machine.TextsOfLastFrame()) {
      if (text.text.rfind("Sound o", 0) == 0) notes.push_back(text.text);
    }
  };
  s.AtFrame(2, [&] { s.machine.HeldKeys()[kM] = key_index::kHeld; });
  s.AtFrame(4, [&] { s.machine.HeldKeys()[kM] = 0; });
  s.AtFrame(5, [&] {
    note();
    Click(s.machine, kButtonX, ButtonY(2));
  });
  s.AtFrame(7, [&] {
    muted = s.machine.PullAudio(4096);
    PressEscape(s.machine);
  });
  s.AtFrame(8, [&] { s.machine.HeldKeys()[kM] = key_index::kHeld; });
  s.AtFrame(10, [&] {
    note();
    Click(s.machine, kButtonX, ButtonY(2));
  });
  s.AtFrame(12, [&] { unmuted = s.machine.PullAudio(4096); });
  s.EndFrom(13);
  EXPECT_EQ(s.Run(), 0);
  EXPECT_FALSE(Heard(muted)) << "a held key switches once";
  EXPECT_TRUE(Heard(unmuted));
  EXPECT_EQ(notes, (std::vector<std::string>{"Sound off", "Sound on"}));
}

TEST(SoundSession, TheMuteKeySaysNoSoundWhenNoneWillBeHeard) {
  const struct {
    const char* what;
    const char* config;  // after Config()
    bool no_device;
    const char* note;
  } cases[] = {
      {"as it comes", "", false, "Sound off"},
      {"volume 0", "[Sound]\r\nvolume = 0\r\n", false, "No sound"},
      {"no device", "", true, "No sound"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Session s;
    s.WriteConfig(Config() + c.config);
    if (c.no_device) s.machine.faults().Arm(Fault::kOpenAudio, 0, "no device here");
    std::vector<std::string> texts;
    s.AtFrame(2, [&] { s.machine.HeldKeys()[kM] = key_index::kHeld; });
    s.AtFrame(4, [&] {
      for (const TextDraw& text : s.machine.TextsOfLastFrame()) texts.push_back(text.text);
    });
    s.EndFrom(5);
    EXPECT_EQ(s.Run(), 0);
    EXPECT_NE(std::find(texts.begin(), texts.end(), c.note), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), std::string("Sound on")), texts.end());
  }
}

TEST(SoundSession, EveryMenuButtonClicksButTheOneThatDoesNothing) {
  for (const auto& [number, heard_there] : {std::pair{2, true}, {3, false}, {4, true}}) {
    const int button = number;
    const bool heard = heard_there;
    SCOPED_TRACE(button);
    Session s;
    std::vector<int16_t> samples;
    s.AtFrame(2, [&] { Click(s.machine, kButtonX, ButtonY(button)); });
    s.AtFrame(4, [&] { samples = s.machine.PullAudio(4096); });
    s.EndFrom(5);
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(Heard(samples), heard);
  }
}

TEST(SoundSession, AddedSectionsReadKeyEqualsValueAndNameWhatTheyCannotTake) {
  const struct {
    const char* config;  // after Config()
    const char* error;   // the start-up error names this line of the section; none: the run goes on
    std::vector<std::string> logged;  // after the pad lines
  } cases[] = {
      {"[Sound]\r\nvolume=50\r\n", nullptr, {}},
      {"[Sound]\r\nvolume:50\r\n", "the line \"volume:50\" in section [Sound]", {}},
      {"[Keys]\r\nmuteKey = N\r\n", "the line \"muteKey = N\" in section [Keys]", {}},
      {"[Sound]\r\nloudness = 5\r\n[Keys]\r\nquit = Q\r\n",
       nullptr,
       {"Unknown key skipped in [Keys]: quit", "Unknown key skipped in [Sound]: loudness"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.config);
    Session s;
    s.WriteConfig(Config() + c.config);
    bool open = false;
    s.AtFrame(2, [&] { open = s.machine.AudioOpen(); });
    s.EndFrom(3);
    const int status = s.Run();
    if (c.error != nullptr) {
      EXPECT_NE(status, 0);
      ASSERT_EQ(s.machine.ErrorReports().size(), 1u);
      EXPECT_NE(s.machine.ErrorReports()[0].find(c.error), std::string::npos)
          << s.machine.ErrorReports()[0];
      continue;
    }
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(open);
    EXPECT_EQ(LinesAfterPads(s.machine.window()), c.logged);
  }
}

TEST(SoundSession, ASlowSoundServerHoldsUpNeitherTheStartNorTheGameWhichIsSilentTillItOpens) {
  Session s;
  s.wait_for_sound = false;
  s.machine.HoldAudioOpen(true);
  bool open_while_held = true;
  std::vector<int16_t> while_held;
  std::vector<int16_t> once_open;
  s.AtFrame(2, [&] { Click(s.machine, kButtonX, ButtonY(2)); });
  s.AtFrame(4, [&] {
    open_while_held = s.machine.AudioOpen();
    while_held = s.machine.PullAudio(4096);
    s.machine.HoldAudioOpen(false);
    PressEscape(s.machine);
  });
  s.AtFrame(5, [&] { s.WaitForSoundOutput(); });
  s.AtFrame(6, [&] { Click(s.machine, kButtonX, ButtonY(2)); });
  s.AtFrame(8, [&] { once_open = s.machine.PullAudio(4096); });
  s.EndFrom(9);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(s.Run(), 0);
  EXPECT_FALSE(open_while_held);
  EXPECT_FALSE(Heard(while_held));
  EXPECT_TRUE(Heard(once_open));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(SoundSession, AVolumeOtherThanZeroToOneHundredStopsTheStart) {
  for (const char* line :
       {"volume = 101", "volume = loud", "volume = -5", "volume = ", "volume = 7.5"}) {
    SCOPED_TRACE(line);
    Session s;
    s.WriteConfig(Config() + "[Sound]\r\n" + line + "\r\n");
    EXPECT_NE(s.Run(), 0);
    ASSERT_EQ(s.machine.ErrorReports().size(), 1u);
    EXPECT_NE(s.machine.ErrorReports()[0].find(std::string("the line \"") + line +
                                               "\" in section [Sound]"),
              std::string::npos)
        << s.machine.ErrorReports()[0];
  }
}

}  // namespace
}  // namespace kraylo::testing
