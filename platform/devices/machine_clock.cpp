#include "platform/devices/machine_clock.h"

#include <ctime>

#include "platform/devices/unit_float.h"
#include "platform/os/os_services.h"

namespace kraylo {

double MachineClock::Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
}

CalendarTime MachineClock::Now() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = LocalTime(now);
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

}  // namespace kraylo
