// The user's number format, from LC_NUMERIC in the environment (the program itself stays in the
// C locale).
#include <langinfo.h>
#include <locale.h>

#include <cstring>

#include "platform/os/os_services.h"

namespace kraylo {

char LocaleDecimalSeparator() {
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  const char separator = radix != nullptr && std::strlen(radix) == 1 ? radix[0] : '.';
  freelocale(user);
  return separator;
}

}  // namespace kraylo
