// The keyboard device: opening it whatever step fails, polling the key table, and the keys'
// names.
#include "input/keyboard.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/headless/headless_system.h"
#include "platform/keys.h"
#include "tests/support/test_helpers.h"

namespace kraylo {
namespace {

TEST(Keyboard, OnlyCreationFailuresFailTheOpeningAndAPollNeedsAnAcquiredDevice) {
  const struct {
    const char* name;
    std::optional<Fault> armed;  // the operation armed to fail
    bool opened;                 // InitDirectInput's result
    bool input, device;
    int32_t poll_error;  // the error a poll then raises, 0: none
  } cases[] = {
      {"DirectInputCreate", Fault::kDirectInputCreate, false, false, false, kErrNoDevice},
      {"CreateDevice", Fault::kCreateDevice, false, true, false, kErrNoDevice},
      {"SetCommonDataFormat", Fault::kSetCommonDataFormat, true, true, true, kErrNotAcquired},
      {"SetCooperativeLevelKeyboard", Fault::kSetCooperativeLevelKeyboard, true, true, true, 0},
      {"Acquire", Fault::kAcquire, true, true, true, kErrNotAcquired},
      {"GetDeviceState", Fault::kGetDeviceState, true, true, true, -77},
      {"nothing", std::nullopt, true, true, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessSystem machine(::testing::TempDir());
    KeyboardDevice keyboard;
    if (c.armed) machine.faults().Arm(*c.armed, -77, std::string(c.name) + " failed");
    EXPECT_EQ(InitDirectInput(keyboard, machine.keyboard(), 1), c.opened);
    EXPECT_EQ(keyboard.input, c.input);
    EXPECT_EQ(keyboard.device, c.device);
    machine.HeldKeys()[key_index::kUp] = key_index::kHeld;
    keyboard.KeyState[key_index::kW] =
        key_index::kHeld;  // stale: every successful poll overwrites it
    EXPECT_EQ(ErrorNumberOf([&] { GetDeviceStateKeyboard(keyboard, machine.keyboard()); }),
              c.poll_error);
    EXPECT_EQ(keyboard.KeyState[key_index::kUp], c.poll_error ? 0 : key_index::kHeld);
    EXPECT_EQ(keyboard.KeyState[key_index::kW], c.poll_error ? key_index::kHeld : 0)
        << "a failed poll: as was";
  }
}

TEST(Keyboard, KnowsTheKeysBySdlsNamesInAnyCaseAndNothingElse) {
  HeadlessSystem machine(::testing::TempDir());
  const KeyboardApi& keyboard = machine.keyboard();
  const struct {
    const char* name;
    std::optional<uint8_t> key;
  } cases[] = {
      {"Left", key_index::kLeft},
      {"left", key_index::kLeft},
      {"A", key_index::kA},
      {"a", key_index::kA},
      {"W", key_index::kW},
      {"Keypad 4", 0x4B},
      {"KEYPAD 8", 0x48},
      {"Keypad Enter", 0x9C},
      {"Right Shift", 0x36},
      {"Space", 0x39},
      {";", 0x27},  // where a French keyboard has M
      {"[", 0x1A},
      {"Escape", key_index::kEscape},
      {"Tab", key_index::kTab},
      // SDL knows these, but a standard 104/105-key keyboard has no such key.
      {"F13", std::nullopt},
      {"Mute", std::nullopt},
      {"AC Back", std::nullopt},
      // No key at all.
      {"Nope", std::nullopt},
      {"", std::nullopt},
      {" Left", std::nullopt},
      {"Left ", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(keyboard.KeyNamed(c.name), c.key) << '"' << c.name << '"';
  EXPECT_EQ(keyboard.KeyNamed(std::string_view("Left\0junk", 9)), std::nullopt) << "a NUL inside";
}

}  // namespace
}  // namespace kraylo
