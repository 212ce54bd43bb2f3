// The keyboard device: opening it whatever step fails, and polling the key table.
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
    machine.HeldKeys()[dik::kUp] = dik::kHeld;
    keyboard.KeyState[dik::kW] = dik::kHeld;  // stale: every successful poll overwrites it
    EXPECT_EQ(ErrorNumberOf([&] { GetDeviceStateKeyboard(keyboard, machine.keyboard()); }),
              c.poll_error);
    EXPECT_EQ(keyboard.KeyState[dik::kUp], c.poll_error ? 0 : dik::kHeld);
    EXPECT_EQ(keyboard.KeyState[dik::kW], c.poll_error ? dik::kHeld : 0) << "a failed poll: as was";
  }
}

}  // namespace
}  // namespace kraylo
