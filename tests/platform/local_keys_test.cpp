// The table a tick reads: the players' own keys and pads at the usual direction entries.
#include "input/local_keys.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "platform/devices/pads_core.h"

namespace kraylo {
namespace {

class Pads final : public PadsCore {
 public:
  Pads() { SetFocus(true); }
  int AddMappings(const std::string&) override { return 0; }
};

KeyTable Held(std::initializer_list<uint8_t> keys) {
  KeyTable table{};
  for (uint8_t key : keys) table[key] = key_index::kHeld;
  return table;
}

// Ball 1 on A D W S, ball 2 on the arrows: the usual sets swapped.
KeyBindings Swapped() {
  return {{key_index::kA, key_index::kD, key_index::kW, key_index::kS, key_index::kLeft,
           key_index::kRight, key_index::kUp, key_index::kDown}};
}

constexpr uint8_t kJ = 0x24, kK = 0x25, kKeypad4 = 0x4B, kSpace = 0x39;

TEST(LocalKeys, BoundKeysHoldTheUsualEntriesAndNothingElseGetsThrough) {
  const Pads no_pads;
  const struct {
    const char* what;
    KeyBindings bindings;
    KeyTable keyboard;
    KeyTable expected;
  } cases[] = {
      {"the usual keys as they are",
       {},
       Held({key_index::kRight, key_index::kW}),
       Held({key_index::kRight, key_index::kW})},
      {"Esc and Tab as they are",
       {},
       Held({key_index::kEscape, key_index::kTab}),
       Held({key_index::kEscape, key_index::kTab})},
      {"other keys are left out", {}, Held({kSpace, kJ}), Held({})},
      {"swapped: Right is ball 2's right", Swapped(), Held({key_index::kRight}),
       Held({key_index::kD})},
      {"swapped: A is ball 1's left", Swapped(), Held({key_index::kA}), Held({key_index::kLeft})},
      {"swapped: all eight", Swapped(),
       Held({key_index::kLeft, key_index::kRight, key_index::kUp, key_index::kDown, key_index::kA,
             key_index::kD, key_index::kW, key_index::kS}),
       Held({key_index::kLeft, key_index::kRight, key_index::kUp, key_index::kDown, key_index::kA,
             key_index::kD, key_index::kW, key_index::kS})},
      {"a key bound elsewhere no longer holds its own entry",
       {{kJ, key_index::kRight, key_index::kUp, key_index::kDown, key_index::kA, key_index::kD,
         key_index::kW, key_index::kS}},
       Held({key_index::kLeft, kJ}),
       Held({key_index::kLeft})},
      {"keypad keys",
       {{kKeypad4, kK, key_index::kUp, key_index::kDown, key_index::kA, key_index::kD,
         key_index::kW, key_index::kS}},
       Held({kKeypad4, kK}),
       Held({key_index::kLeft, key_index::kRight})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LocalKeys(c.keyboard, c.bindings, no_pads), c.expected) << c.what;
  }
}

TEST(LocalKeys, PadsAddTheirPlayersDirectionsAndBackHoldsEsc) {
  Pads pads;
  pads.Connect(1, "One");
  pads.Connect(2, "Two");
  pads.SetButton(1, PadButton::kDpadRight, true);
  pads.SetAxis(2, PadAxis::kLeftY, 9000);
  // Pad and keys together: player 1 by pad and key, player 2 by pad alone.
  EXPECT_EQ(LocalKeys(Held({key_index::kUp}), {}, pads),
            Held({key_index::kRight, key_index::kUp, key_index::kS}));
  // The same direction by both is one held key.
  EXPECT_EQ(LocalKeys(Held({key_index::kRight}), {}, pads),
            Held({key_index::kRight, key_index::kS}));
  // Each pad steers its own ball, whatever keys the players chose.
  EXPECT_EQ(LocalKeys(Held({}), Swapped(), pads), Held({key_index::kRight, key_index::kS}));

  pads.SetButton(2, PadButton::kBack, true);
  EXPECT_EQ(LocalKeys(Held({}), {}, pads),
            Held({key_index::kRight, key_index::kS, key_index::kEscape}));
  pads.SetFocus(false);
  EXPECT_EQ(LocalKeys(Held({key_index::kA}), {}, pads), Held({key_index::kA}))
      << "pads count with focus only";
}

}  // namespace
}  // namespace kraylo
