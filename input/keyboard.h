// The keyboard device: opened once at start-up, polled into KeyState on every tick.
#pragma once

#include "platform/platform.h"

namespace kraylo {

// state (out): what InitDirectInput made, and the last poll.
struct KeyboardDevice {
  bool input = false;   // the input object exists
  bool device = false;  // the keyboard device exists
  KeyTable KeyState{};  // the last poll, 0x80 per held key
};

// Opens the keyboard device; true when it was created. Failures after creation are ignored.
bool InitDirectInput(KeyboardDevice& keyboard, KeyboardApi& api, WindowHandle window);
// Overwrites KeyState with the keys held now; raises when the device cannot deliver.
void GetDeviceStateKeyboard(KeyboardDevice& keyboard, KeyboardApi& api);

}  // namespace kraylo
