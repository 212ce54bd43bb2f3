// The real machine's keyboard and number format.
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

// The decimal separator of the user's locale (LC_NUMERIC from the environment); '.' when the
// locale cannot be had or its separator is not a single byte.
char LocaleDecimalSeparator();

}  // namespace kraylo
