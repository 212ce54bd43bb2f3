// The players' own keys: the [Keys] section read into the bindings, every way it can be wrong,
// and a game played with the two players' key sets swapped.
#include <gtest/gtest.h>

#include <string>

#include "shell/key_config.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

constexpr uint8_t kJ = 0x24, kQ = 0x10, kZ = 0x2C, kSemicolon = 0x27, kComma = 0x33,
                  kKeypad4 = 0x4B, kKeypad6 = 0x4D, kKeypad8 = 0x48, kKeypad5 = 0x4C;

// The two players' usual key sets, swapped: ball 1 on W A S D, ball 2 on the arrows.
const char* const kSwapped =
    "[Keys]\r\np1Left = A\r\np1Right = D\r\np1Up = W\r\np1Down = S\r\n"
    "p2Left = Left\r\np2Right = Right\r\np2Up = Up\r\np2Down = Down\r\n";

// The bindings a configuration file gives, read as start-up reads them.
KeyBindings Read(const std::string& config) {
  TempFolder folder;
  folder.Write("dorvane/config.cfg", config);
  HeadlessSystem machine(folder.path());
  return ReadKeyBindings(machine.files(), machine.keyboard());
}

TEST(KeysSection, NamesPhysicalKeysAsSdlDoesAndWhatItLeavesOutKeepsItsUsualKey) {
  const KeyBindings usual;
  const struct {
    const char* what;
    std::string keys;  // the [Keys] section, or other text after the usual file
    std::array<uint8_t, 8> bound;
  } cases[] = {
      {"no section: the usual keys", "", usual.keys},
      {"an empty section", "[Keys]\r\n", usual.keys},
      {"the usual keys by name", "[Keys]\r\np1Left = Left\r\np2Up = W\r\n", usual.keys},
      {"a [keys] section is another section", "[keys]\r\np1Left = J\r\n", usual.keys},
      {"the two sets swapped",
       kSwapped,
       {key_index::kA, key_index::kD, key_index::kW, key_index::kS, key_index::kLeft,
        key_index::kRight, key_index::kUp, key_index::kDown}},
      {"player 1 on the keypad, the rest as usual",
       "[Keys]\r\np1Left = Keypad 4\r\np1Right = keypad 6\r\np1Up = KEYPAD 8\r\np1Down = Keypad "
       "5\r\n",
       {kKeypad4, kKeypad6, kKeypad8, kKeypad5, key_index::kA, key_index::kD, key_index::kW,
        key_index::kS}},
      // Names are places, named as on a US keyboard: on a French one "Z" is the key labelled W,
      // ";" the one labelled M.
      {"AZERTY-style names",
       "[Keys]\r\np2Left = Q\r\np2Up = Z\r\np1Right = ;\r\np1Left = ,\r\n",
       {kComma, kSemicolon, key_index::kUp, key_index::kDown, kQ, key_index::kD, kZ,
        key_index::kS}},
      {"blanks around the name",
       "[Keys]\r\np2Right =   J  \r\n",
       {key_index::kLeft, key_index::kRight, key_index::kUp, key_index::kDown, key_index::kA, kJ,
        key_index::kW, key_index::kS}},
      {"a key moved away frees its old place for another",
       "[Keys]\r\np2Left = J\r\np1Left = A\r\n",
       {key_index::kA, key_index::kRight, key_index::kUp, key_index::kDown, kJ, key_index::kD,
        key_index::kW, key_index::kS}},
      {"the first line of a direction wins",
       "[Keys]\r\np1Up = J\r\np1Up = Foo\r\n",
       {key_index::kLeft, key_index::kRight, kJ, key_index::kDown, key_index::kA, key_index::kD,
        key_index::kW, key_index::kS}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(Config() + c.keys).keys, c.bound) << c.what;
  }
}

TEST(KeysSection, EveryWrongLineStopsTheStartWithTheLineTheFileAndANonZeroStatus) {
  const struct {
    const char* keys;
    const char* line;  // the line the report quotes
    const char* why;   // part of the report
  } cases[] = {
      {"p1Left = Foo", "p1Left = Foo", "names no key: \"Foo\""},
      {"p2Down = F13", "p2Down = F13", "names no key: \"F13\""},
      {"p1Up = ", "p1Up = ", "names no key: \"\""},
      {"p1Up = Keypad  4", "p1Up = Keypad  4", "names no key"},
      {"p1Left=", "p1Left=", "names no key: \"\""},
      {"p1Left J", "p1Left J", "has no \"=\" after its key p1Left"},
      {"p1Left = J\r\np1Right = J", "p1Right = J", "gives it to p1Left already"},
      {"p1Left = keypad 4\r\np2Up = Keypad 4", "p2Up = Keypad 4", "gives it to p1Left already"},
      {"p1Left = A", "p1Left = A", "but p2Left keeps A, its usual key"},
      {"p2Up = Up", "p2Up = Up", "but p1Up keeps Up, its usual key"},
      {"p1Left = Escape", "p1Left = Escape", "which ends the game"},
      {"p2Down = tab", "p2Down = tab", "which switches the debug overlay"},
      {"mute = Left", "mute = Left", "but p1Left has it already"},
      {"mute = Escape", "mute = Escape", "gives mute to Escape, which ends the game"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    Session s;
    s.WriteConfig(Config() + "[Keys]\r\n" + c.keys + "\r\n");
    EXPECT_NE(s.Run(), 0);
    ASSERT_EQ(s.machine.ErrorReports().size(), 1u);
    const std::string& report = s.machine.ErrorReports()[0];
    EXPECT_EQ(report.rfind("Run-time error 5: Invalid procedure call or argument: the line \"" +
                               std::string(c.line) + "\" in section [Keys] of " + s.folder +
                               "/dorvane/config.cfg ",
                           0),
              0u)
        << report;
    EXPECT_NE(report.find(c.why), std::string::npos) << report;
    EXPECT_EQ(s.machine.FramesShown(), 0);
    EXPECT_EQ(s.machine.Yields(), 0) << "stopped before the start-up yields";
  }
}

TEST(KeysSection, WithTheSetsSwappedRightPushesBall2AloneAndABall1Alone) {
  Session s;
  s.WriteConfig(Config() + kSwapped);
  KeyTable& keys = s.machine.HeldKeys();
  s.AtFrame(1, [&] { Click(s.machine, 400, 260); });
  s.AtFrame(2, [&] { keys[key_index::kRight] = key_index::kHeld; });
  double ball1_x = 0, ball2_x = 0;
  for (int f = 3; f < 300; ++f) {
    s.AtFrame(f, [&] {
      const int ticks = s.machine.TimerTicks();
      if (ticks == 3 && ball2_x == 0) {
        ball1_x = s.program.game.Balls(1).X;
        ball2_x = s.program.game.Balls(2).X;
        keys[key_index::kRight] = 0;
        keys[key_index::kA] = key_index::kHeld;
      }
      if (ticks == 6) keys[key_index::kEscape] = key_index::kHeld;
    });
  }
  EXPECT_EQ(s.Run(), 0);
  EXPECT_EQ(ball1_x, 349) << "Right left ball 1 where it was";
  EXPECT_GT(ball2_x, 451) << "Right pushed ball 2";
  EXPECT_LT(s.program.game.Balls(1).X, 349) << "A pushed ball 1 to the left";
  EXPECT_GT(s.program.game.Balls(2).X, ball2_x) << "ball 2 only rolled on";
}

}  // namespace
}  // namespace kraylo::testing
