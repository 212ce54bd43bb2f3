#include "platform/sdl/sdl_devices.h"

#include <SDL.h>

#ifndef _WIN32
#include <langinfo.h>
#include <locale.h>
#endif

#include <cstring>

#include "platform/devices/key_map.h"
#include "platform/keys.h"
#ifdef _WIN32
#include "platform/windows/win32.h"
#endif

namespace kraylo {

void SdlKeyboard::ReadKeys(KeyTable& table) {
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  table.fill(0);
  for (const KeyRow& row : kKeyRows) {
    if (row.scancode < count && state[row.scancode] != 0) table[row.dik] = dik::kHeld;
  }
}

#ifdef _WIN32
char LocaleDecimalSeparator() {
  wchar_t separator[4] = {};
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4);
  // One character and the terminating zero; the separators of every locale are ASCII.
  return length == 2 && separator[0] < 0x80 ? static_cast<char>(separator[0]) : '.';
}
#else
char LocaleDecimalSeparator() {
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  const char separator = radix != nullptr && std::strlen(radix) == 1 ? radix[0] : '.';
  freelocale(user);
  return separator;
}
#endif

}  // namespace kraylo
