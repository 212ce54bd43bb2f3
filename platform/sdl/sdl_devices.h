// The real machine's keyboard.
#pragma once

#include "platform/devices/keyboard_api_core.h"
#include "platform/platform.h"

namespace kraylo {

// The keyboard over SDL's key state, which SDL keeps while the window has the keyboard focus.
class SdlKeyboard : public KeyboardApiCore {
 public:
  explicit SdlKeyboard(const Faults& faults) : KeyboardApiCore(faults) {}

 protected:
  void ReadKeys(KeyTable& table) override;
};

}  // namespace kraylo
