// The one table of keys: each SDL scancode of a standard 104-key keyboard (and the extra key of
// 105-key ones) with its DIK scan code for the key-state table and its window key code for
// key-down events. Header-only, so that it can be checked without a display.
#pragma once

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include <array>
#include <cstdint>

namespace kraylo {

struct KeyRow {
  SDL_Scancode scancode;
  uint8_t key_index;    // index into the key-state table
  int16_t window_code;  // key code of the key-down event
};

// clang-format off
inline constexpr std::array kKeyRows{
    // Escape and the function keys.
    KeyRow{SDL_SCANCODE_ESCAPE, 0x01, 27},
    KeyRow{SDL_SCANCODE_F1, 0x3B, 112}, KeyRow{SDL_SCANCODE_F2, 0x3C, 113},
    KeyRow{SDL_SCANCODE_F3, 0x3D, 114}, KeyRow{SDL_SCANCODE_F4, 0x3E, 115},
    KeyRow{SDL_SCANCODE_F5, 0x3F, 116}, KeyRow{SDL_SCANCODE_F6, 0x40, 117},
    KeyRow{SDL_SCANCODE_F7, 0x41, 118}, KeyRow{SDL_SCANCODE_F8, 0x42, 119},
    KeyRow{SDL_SCANCODE_F9, 0x43, 120}, KeyRow{SDL_SCANCODE_F10, 0x44, 121},
    KeyRow{SDL_SCANCODE_F11, 0x57, 122}, KeyRow{SDL_SCANCODE_F12, 0x58, 123},
    // The digit row.
    KeyRow{SDL_SCANCODE_GRAVE, 0x29, 192},
    KeyRow{SDL_SCANCODE_1, 0x02, '1'}, KeyRow{SDL_SCANCODE_2, 0x03, '2'},
    KeyRow{SDL_SCANCODE_3, 0x04, '3'}, KeyRow{SDL_SCANCODE_4, 0x05, '4'},
    KeyRow{SDL_SCANCODE_5, 0x06, '5'}, KeyRow{SDL_SCANCODE_6, 0x07, '6'},
    KeyRow{SDL_SCANCODE_7, 0x08, '7'}, KeyRow{SDL_SCANCODE_8, 0x09, '8'},
    KeyRow{SDL_SCANCODE_9, 0x0A, '9'}, KeyRow{SDL_SCANCODE_0, 0x0B, '0'},
    KeyRow{SDL_SCANCODE_MINUS, 0x0C, 189}, KeyRow{SDL_SCANCODE_EQUALS, 0x0D, 187},
    KeyRow{SDL_SCANCODE_BACKSPACE, 0x0E, 8},
    // The upper letter row.
    KeyRow{SDL_SCANCODE_TAB, 0x0F, 9},
    KeyRow{SDL_SCANCODE_Q, 0x10, 'Q'}, KeyRow{SDL_SCANCODE_W, 0x11, 'W'},
    KeyRow{SDL_SCANCODE_E, 0x12, 'E'}, KeyRow{SDL_SCANCODE_R, 0x13, 'R'},
    KeyRow{SDL_SCANCODE_T, 0x14, 'T'}, KeyRow{SDL_SCANCODE_Y, 0x15, 'Y'},
    KeyRow{SDL_SCANCODE_U, 0x16, 'U'}, KeyRow{SDL_SCANCODE_I, 0x17, 'I'},
    KeyRow{SDL_SCANCODE_O, 0x18, 'O'}, KeyRow{SDL_SCANCODE_P, 0x19, 'P'},
    KeyRow{SDL_SCANCODE_LEFTBRACKET, 0x1A, 219}, KeyRow{SDL_SCANCODE_RIGHTBRACKET, 0x1B, 221},
    KeyRow{SDL_SCANCODE_BACKSLASH, 0x2B, 220},
    // The middle letter row.
    KeyRow{SDL_SCANCODE_CAPSLOCK, 0x3A, 20},
    KeyRow{SDL_SCANCODE_A, 0x1E, 'A'}, KeyRow{SDL_SCANCODE_S, 0x1F, 'S'},
    KeyRow{SDL_SCANCODE_D, 0x20, 'D'}, KeyRow{SDL_SCANCODE_F, 0x21, 'F'},
    KeyRow{SDL_SCANCODE_G, 0x22, 'G'}, KeyRow{SDL_SCANCODE_H, 0x23, 'H'},
    KeyRow{SDL_SCANCODE_J, 0x24, 'J'}, KeyRow{SDL_SCANCODE_K, 0x25, 'K'},
    KeyRow{SDL_SCANCODE_L, 0x26, 'L'},
    KeyRow{SDL_SCANCODE_SEMICOLON, 0x27, 186}, KeyRow{SDL_SCANCODE_APOSTROPHE, 0x28, 222},
    KeyRow{SDL_SCANCODE_RETURN, 0x1C, 13},
    // The lower letter row.
    KeyRow{SDL_SCANCODE_LSHIFT, 0x2A, 16},
    KeyRow{SDL_SCANCODE_NONUSBACKSLASH, 0x56, 226},
    KeyRow{SDL_SCANCODE_Z, 0x2C, 'Z'}, KeyRow{SDL_SCANCODE_X, 0x2D, 'X'},
    KeyRow{SDL_SCANCODE_C, 0x2E, 'C'}, KeyRow{SDL_SCANCODE_V, 0x2F, 'V'},
    KeyRow{SDL_SCANCODE_B, 0x30, 'B'}, KeyRow{SDL_SCANCODE_N, 0x31, 'N'},
    KeyRow{SDL_SCANCODE_M, 0x32, 'M'},
    KeyRow{SDL_SCANCODE_COMMA, 0x33, 188}, KeyRow{SDL_SCANCODE_PERIOD, 0x34, 190},
    KeyRow{SDL_SCANCODE_SLASH, 0x35, 191},
    KeyRow{SDL_SCANCODE_RSHIFT, 0x36, 16},
    // The bottom row.
    KeyRow{SDL_SCANCODE_LCTRL, 0x1D, 17}, KeyRow{SDL_SCANCODE_LGUI, 0xDB, 91},
    KeyRow{SDL_SCANCODE_LALT, 0x38, 18}, KeyRow{SDL_SCANCODE_SPACE, 0x39, 32},
    KeyRow{SDL_SCANCODE_RALT, 0xB8, 18}, KeyRow{SDL_SCANCODE_RGUI, 0xDC, 92},
    KeyRow{SDL_SCANCODE_APPLICATION, 0xDD, 93}, KeyRow{SDL_SCANCODE_RCTRL, 0x9D, 17},
    // Print Screen, Scroll Lock, Pause.
    KeyRow{SDL_SCANCODE_PRINTSCREEN, 0xB7, 44}, KeyRow{SDL_SCANCODE_SCROLLLOCK, 0x46, 145},
    KeyRow{SDL_SCANCODE_PAUSE, 0xC5, 19},
    // The editing block and the arrows.
    KeyRow{SDL_SCANCODE_INSERT, 0xD2, 45}, KeyRow{SDL_SCANCODE_HOME, 0xC7, 36},
    KeyRow{SDL_SCANCODE_PAGEUP, 0xC9, 33}, KeyRow{SDL_SCANCODE_DELETE, 0xD3, 46},
    KeyRow{SDL_SCANCODE_END, 0xCF, 35}, KeyRow{SDL_SCANCODE_PAGEDOWN, 0xD1, 34},
    KeyRow{SDL_SCANCODE_LEFT, 0xCB, 37}, KeyRow{SDL_SCANCODE_UP, 0xC8, 38},
    KeyRow{SDL_SCANCODE_RIGHT, 0xCD, 39}, KeyRow{SDL_SCANCODE_DOWN, 0xD0, 40},
    // The keypad.
    KeyRow{SDL_SCANCODE_NUMLOCKCLEAR, 0x45, 144}, KeyRow{SDL_SCANCODE_KP_DIVIDE, 0xB5, 111},
    KeyRow{SDL_SCANCODE_KP_MULTIPLY, 0x37, 106}, KeyRow{SDL_SCANCODE_KP_MINUS, 0x4A, 109},
    KeyRow{SDL_SCANCODE_KP_7, 0x47, 103}, KeyRow{SDL_SCANCODE_KP_8, 0x48, 104},
    KeyRow{SDL_SCANCODE_KP_9, 0x49, 105}, KeyRow{SDL_SCANCODE_KP_PLUS, 0x4E, 107},
    KeyRow{SDL_SCANCODE_KP_4, 0x4B, 100}, KeyRow{SDL_SCANCODE_KP_5, 0x4C, 101},
    KeyRow{SDL_SCANCODE_KP_6, 0x4D, 102},
    KeyRow{SDL_SCANCODE_KP_1, 0x4F, 97}, KeyRow{SDL_SCANCODE_KP_2, 0x50, 98},
    KeyRow{SDL_SCANCODE_KP_3, 0x51, 99}, KeyRow{SDL_SCANCODE_KP_ENTER, 0x9C, 13},
    KeyRow{SDL_SCANCODE_KP_0, 0x52, 96}, KeyRow{SDL_SCANCODE_KP_PERIOD, 0x53, 110},
};
// clang-format on

namespace key_map_detail {

// A scancode-indexed view of one column of the table.
template <typename Value, Value KeyRow::*column>
constexpr std::array<Value, SDL_NUM_SCANCODES> ByScancode() {
  std::array<Value, SDL_NUM_SCANCODES> values{};
  for (const KeyRow& row : kKeyRows) values[row.scancode] = row.*column;
  return values;
}

inline constexpr auto kKeyIndex = ByScancode<uint8_t, &KeyRow::key_index>();
inline constexpr auto kWindowCode = ByScancode<int16_t, &KeyRow::window_code>();

}  // namespace key_map_detail

// The DIK scan code of a key; 0 for keys the table does not have.
constexpr uint8_t KeyIndexOf(SDL_Scancode scancode) {
  return scancode >= 0 && scancode < SDL_NUM_SCANCODES ? key_map_detail::kKeyIndex[scancode] : 0;
}

// The window key code of a key-down event; 0 for keys the table does not have. Letters and
// digits follow the keyboard layout (the key's symbol), as the desktop's key codes do; every
// other key is known by its place.
constexpr int16_t WindowKeyCodeOf(SDL_Keycode symbol, SDL_Scancode scancode) {
  if (symbol >= SDLK_a && symbol <= SDLK_z) return static_cast<int16_t>('A' + (symbol - SDLK_a));
  if (symbol >= SDLK_0 && symbol <= SDLK_9) return static_cast<int16_t>(symbol);
  return scancode >= 0 && scancode < SDL_NUM_SCANCODES ? key_map_detail::kWindowCode[scancode]
                                                       : int16_t{0};
}

}  // namespace kraylo
