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
  for (uint8_t key : keys) table[key] = dik::kHeld;
  return table;
}

// Ball 1 on A D W S, ball 2 on the arrows: the usual sets swapped.
KeyBindings Swapped() {
  return {{dik::kA, dik::kD, dik::kW, dik::kS, dik::kLeft, dik::kRight, dik::kUp, dik::kDown}};
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
       Held({dik::kRight, dik::kW}),
       Held({dik::kRight, dik::kW})},
      {"Esc and Tab as they are",
       {},
       Held({dik::kEscape, dik::kTab}),
       Held({dik::kEscape, dik::kTab})},
      {"other keys are left out", {}, Held({kSpace, kJ}), Held({})},
      {"swapped: Right is ball 2's right", Swapped(), Held({dik::kRight}), Held({dik::kD})},
      {"swapped: A is ball 1's left", Swapped(), Held({dik::kA}), Held({dik::kLeft})},
      {"swapped: all eight", Swapped(),
       Held({dik::kLeft, dik::kRight, dik::kUp, dik::kDown, dik::kA, dik::kD, dik::kW, dik::kS}),
       Held({dik::kLeft, dik::kRight, dik::kUp, dik::kDown, dik::kA, dik::kD, dik::kW, dik::kS})},
      {"a key bound elsewhere no longer holds its own entry",
       {{kJ, dik::kRight, dik::kUp, dik::kDown, dik::kA, dik::kD, dik::kW, dik::kS}},
       Held({dik::kLeft, kJ}),
       Held({dik::kLeft})},
      {"keypad keys",
       {{kKeypad4, kK, dik::kUp, dik::kDown, dik::kA, dik::kD, dik::kW, dik::kS}},
       Held({kKeypad4, kK}),
       Held({dik::kLeft, dik::kRight})},
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
  EXPECT_EQ(LocalKeys(Held({dik::kUp}), {}, pads), Held({dik::kRight, dik::kUp, dik::kS}));
  // The same direction by both is one held key.
  EXPECT_EQ(LocalKeys(Held({dik::kRight}), {}, pads), Held({dik::kRight, dik::kS}));
  // Each pad steers its own ball, whatever keys the players chose.
  EXPECT_EQ(LocalKeys(Held({}), Swapped(), pads), Held({dik::kRight, dik::kS}));

  pads.SetButton(2, PadButton::kBack, true);
  EXPECT_EQ(LocalKeys(Held({}), {}, pads), Held({dik::kRight, dik::kS, dik::kEscape}));
  pads.SetFocus(false);
  EXPECT_EQ(LocalKeys(Held({dik::kA}), {}, pads), Held({dik::kA})) << "pads count with focus only";
}

}  // namespace
}  // namespace kraylo
