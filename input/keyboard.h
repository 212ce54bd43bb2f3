// The keyboard device: opened once at start-up, polled into KeyState on every tick.
#pragma once

#include "input/key_source.h"
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

// The device as the simulation's key source.
class DeviceKeySource : public KeySource {
 public:
  DeviceKeySource(KeyboardDevice& keyboard, KeyboardApi& api) : keyboard_(keyboard), api_(api) {}
  const KeyTable& Poll() override {
    GetDeviceStateKeyboard(keyboard_, api_);
    return keyboard_.KeyState;
  }

 private:
  KeyboardDevice& keyboard_;
  KeyboardApi& api_;
};

}  // namespace kraylo
