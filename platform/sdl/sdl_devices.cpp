#include "platform/sdl/sdl_devices.h"

#include <SDL.h>
#include <langinfo.h>
#include <locale.h>

#include <cstring>

#include "platform/devices/key_map.h"
#include "platform/keys.h"

namespace kraylo {

void SdlKeyboard::ReadKeys(KeyTable& table) {
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  table.fill(0);
  for (const KeyRow& row : kKeyRows) {
    if (row.scancode < count && state[row.scancode] != 0) table[row.dik] = dik::kHeld;
  }
}

char LocaleDecimalSeparator() {
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  const char separator = radix != nullptr && std::strlen(radix) == 1 ? radix[0] : '.';
  freelocale(user);
  return separator;
}

}  // namespace kraylo
