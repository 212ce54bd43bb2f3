// The user's number format, as the user's regional settings have it.
#include "platform/os/os_services.h"
#include "platform/os/windows/win32.h"

namespace kraylo {

char LocaleDecimalSeparator() {
  wchar_t separator[4] = {};
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4);
  // One character and the terminating zero; the separators of every locale are ASCII.
  return length == 2 && separator[0] < 0x80 ? static_cast<char>(separator[0]) : '.';
}

}  // namespace kraylo
