// The table of keys: SDL scancodes to DIK scan codes and window key codes.
#include "platform/devices/key_map.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/keys.h"

namespace kraylo {
namespace {

TEST(KeyMap, KeysOfEveryGroupMapToTheirCodesAndOthersToNothing) {
  const struct {
    SDL_Scancode scancode;
    uint8_t key_index;
    int16_t window_code;  // 0 with key_index 0: not in the table
  } cases[] = {
      {SDL_SCANCODE_ESCAPE, key_index::kEscape, 27},
      {SDL_SCANCODE_W, key_index::kW, 'W'},
      {SDL_SCANCODE_A, key_index::kA, 'A'},
      {SDL_SCANCODE_S, key_index::kS, 'S'},
      {SDL_SCANCODE_D, key_index::kD, 'D'},
      {SDL_SCANCODE_UP, key_index::kUp, 38},
      {SDL_SCANCODE_LEFT, key_index::kLeft, 37},
      {SDL_SCANCODE_RIGHT, key_index::kRight, 39},
      {SDL_SCANCODE_DOWN, key_index::kDown, 40},
      {SDL_SCANCODE_TAB, key_index::kTab, 9},
      {SDL_SCANCODE_0, 0x0B, '0'},
      {SDL_SCANCODE_F12, 0x58, 123},
      {SDL_SCANCODE_SPACE, 0x39, 32},
      {SDL_SCANCODE_RCTRL, 0x9D, 17},
      {SDL_SCANCODE_KP_ENTER, 0x9C, 13},
      {SDL_SCANCODE_NONUSBACKSLASH, 0x56, 226},
      {SDL_SCANCODE_F13, 0, 0},
      {static_cast<SDL_Scancode>(SDL_NUM_SCANCODES), 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeyIndexOf(c.scancode), c.key_index) << c.scancode;
    EXPECT_EQ(WindowKeyCodeOf(SDLK_UNKNOWN, c.scancode), c.window_code) << c.scancode;
  }
  // Letters and digits follow the layout: on a French one the key in the place of Q types A.
  EXPECT_EQ(WindowKeyCodeOf(SDLK_a, SDL_SCANCODE_Q), 'A');
  EXPECT_EQ(WindowKeyCodeOf(SDLK_7, SDL_SCANCODE_7), '7');
  EXPECT_EQ(WindowKeyCodeOf(SDLK_SEMICOLON, SDL_SCANCODE_M), 'M') << "other symbols: the place";
}

TEST(KeyMap, StandardKeyboardIsCompleteAndUnambiguous) {
  // 104 keys of the standard layout and the extra key beside Left Shift of 105-key keyboards.
  EXPECT_EQ(kKeyRows.size(), 105u);
  std::set<int> scancodes, key_indexes;
  for (const KeyRow& row : kKeyRows) {
    EXPECT_TRUE(scancodes.insert(row.scancode).second) << "scancode twice: " << row.scancode;
    EXPECT_TRUE(key_indexes.insert(row.key_index).second)
        << "key index twice: " << int(row.key_index);
    EXPECT_NE(row.window_code, 0) << row.scancode;
  }
}

}  // namespace
}  // namespace kraylo
