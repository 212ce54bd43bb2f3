#include "input/keyboard.h"

namespace kraylo {
namespace {

// The keyboard's data format and cooperative level as the device is opened: the 256-byte key
// table, read non-exclusively and in the background.
constexpr int32_t kNonExclusiveBackground = 2 + 8;

}  // namespace

bool InitDirectInput(KeyboardDevice& keyboard, KeyboardApi& api, WindowHandle window) {
  // Each step of the opening is guarded: a failing step ends there and the opening goes on.
  // The root object the other platform calls hang from is the api itself here.
  Guarded([&] {
    api.CreateInput();
    keyboard.input = true;
  });
  if (!keyboard.input) return false;
  Guarded([&] {
    api.CreateDevice();
    keyboard.device = true;
  });
  if (!keyboard.device) return false;
  Guarded([&] { api.SetDataFormat(); });
  Guarded([&] { api.SetCooperativeLevel(window, kNonExclusiveBackground); });
  Guarded([&] { api.Acquire(); });
  return true;
}

void GetDeviceStateKeyboard(KeyboardDevice& keyboard, KeyboardApi& api) {
  if (!keyboard.device) Raise(kErrNoDevice, "The keyboard device was never created");
  api.GetState(keyboard.KeyState);
}

}  // namespace kraylo
