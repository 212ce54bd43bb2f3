#include "input/keyboard.h"

namespace kraylo {
namespace {

// The keyboard's data format and cooperative level as the device is opened: the 256-byte key
// table, read non-exclusively and in the background.
constexpr int32_t kNonExclusiveBackground = 2 + 8;

// Runs one step of the device's opening; a failing step ends there and the opening goes on.
template <typename Step>
void IgnoringErrors(Step step) {
  try {
    step();
  } catch (const RunError&) {
  }
}

}  // namespace

bool InitDirectInput(KeyboardDevice& keyboard, KeyboardApi& api, WindowHandle window) {
  // The root object the other platform calls hang from is the api itself here.
  IgnoringErrors([&] {
    api.CreateInput();
    keyboard.input = true;
  });
  if (!keyboard.input) return false;
  IgnoringErrors([&] {
    api.CreateDevice();
    keyboard.device = true;
  });
  if (!keyboard.device) return false;
  IgnoringErrors([&] { api.SetDataFormat(); });
  IgnoringErrors([&] { api.SetCooperativeLevel(window, kNonExclusiveBackground); });
  IgnoringErrors([&] { api.Acquire(); });
  return true;
}

void GetDeviceStateKeyboard(KeyboardDevice& keyboard, KeyboardApi& api) {
  if (!keyboard.device) Raise(kErrNoDevice, "The keyboard device was never created");
  api.GetState(keyboard.KeyState);
}

}  // namespace kraylo
