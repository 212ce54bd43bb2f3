#include "platform/sdl/sdl_devices.h"

#include <SDL.h>
#include <langinfo.h>
#include <locale.h>

#include <cstring>
#include <ctime>

#include "input/dik.h"
#include "platform/sdl/key_map.h"
#include "platform/unit_float.h"

namespace kraylo {

double SteadyClock::Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
}

CalendarTime SteadyClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

void MtRandom::Reseed() {
  const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
  const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
  std::seed_seq seed{static_cast<uint32_t>(wall), static_cast<uint32_t>(wall >> 32),
                     static_cast<uint32_t>(steady)};
  generator_.seed(seed);
}

float MtRandom::Next() { return UnitFloat(generator_); }

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
