// Input as plain values: the SDL backend turns SDL's events into these, tests script them, and
// one dispatcher routes them to the controls or the window's handlers.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace kraylo {

// Window key codes (the codes the key-down handler receives).
inline constexpr int16_t kKeyBackspace = 8;
inline constexpr int16_t kKeyTab = 9;
inline constexpr int16_t kKeyReturn = 13;
inline constexpr int16_t kKeyEscape = 27;
inline constexpr int16_t kKeySpace = 32;
inline constexpr int16_t kKeyPageUp = 33;
inline constexpr int16_t kKeyPageDown = 34;
inline constexpr int16_t kKeyEnd = 35;
inline constexpr int16_t kKeyHome = 36;
inline constexpr int16_t kKeyLeftArrow = 37;
inline constexpr int16_t kKeyUpArrow = 38;
inline constexpr int16_t kKeyRightArrow = 39;
inline constexpr int16_t kKeyDownArrow = 40;
inline constexpr int16_t kKeyPadAdd = 107;
inline constexpr int16_t kKeyPadSubtract = 109;
// The keys of the main block by their place on a US keyboard.
inline constexpr int16_t kKeyEquals = 187;  // = and +
inline constexpr int16_t kKeyComma = 188;
inline constexpr int16_t kKeyMinus = 189;
inline constexpr int16_t kKeyPeriod = 190;

// Shift states (summed).
inline constexpr int16_t kShiftShift = 1;
inline constexpr int16_t kShiftCtrl = 2;
inline constexpr int16_t kShiftAlt = 4;

// Mouse buttons as the handlers receive them.
inline constexpr int16_t kMouseLeft = 1;
inline constexpr int16_t kMouseRight = 2;
inline constexpr int16_t kMouseMiddle = 4;

struct InputEvent {
  // kExpose: the window system lost the window's picture and wants it painted again.
  enum class Kind {
    kKeyDown,
    kMouseMove,
    kMouseDown,
    kMouseUp,
    kWheel,
    kClose,
    kFocusGained,
    kFocusLost,
    kExpose,
    kText,  // text typed in the keyboard's own layout
  };
  Kind kind = Kind::kKeyDown;
  int16_t key_code = 0;  // kKeyDown: window key code
  int16_t shift = 0;     // kKeyDown, mouse: 1 Shift, 2 Ctrl, 4 Alt
  int16_t button = 0;    // mouse down/up: the button; mouse move: the buttons held (sum)
  float x = 0;           // mouse: pixels in the window's picture (frame pixels in full screen)
  float y = 0;
  int wheel = 0;        // kWheel: notches, positive away from the user
  bool repeat = false;  // kKeyDown: the key's own repeat while it is held, not a new press
  // kText: UTF-8, NUL-terminated; what one key (or an input method) made.
  std::array<char, 32> text{};

  static InputEvent KeyDown(int16_t code, int16_t shift = 0) {
    return {Kind::kKeyDown, code, shift, 0, 0, 0, 0};
  }
  static InputEvent MouseMove(float x, float y, int16_t buttons = 0) {
    return {Kind::kMouseMove, 0, 0, buttons, x, y, 0};
  }
  static InputEvent MouseDown(int16_t button, float x, float y) {
    return {Kind::kMouseDown, 0, 0, button, x, y, 0};
  }
  static InputEvent MouseUp(int16_t button, float x, float y) {
    return {Kind::kMouseUp, 0, 0, button, x, y, 0};
  }
  static InputEvent Wheel(int notches, float x, float y) {
    return {Kind::kWheel, 0, 0, 0, x, y, notches};
  }
  static InputEvent Close() { return {Kind::kClose, 0, 0, 0, 0, 0, 0}; }
  static InputEvent FocusGained() { return {Kind::kFocusGained, 0, 0, 0, 0, 0, 0}; }
  static InputEvent FocusLost() { return {Kind::kFocusLost, 0, 0, 0, 0, 0, 0}; }
  static InputEvent Expose() { return {Kind::kExpose, 0, 0, 0, 0, 0, 0}; }
  // Text longer than the event holds is cut at a character's start.
  static InputEvent Text(std::string_view typed) {
    InputEvent event{Kind::kText, 0, 0, 0, 0, 0, 0};
    size_t size = std::min(typed.size(), event.text.size() - 1);
    while (size > 0 && size < typed.size() &&
           (static_cast<unsigned char>(typed[size]) & 0xC0) == 0x80) {
      --size;
    }
    typed.copy(event.text.data(), size);
    return event;
  }
};

}  // namespace kraylo
