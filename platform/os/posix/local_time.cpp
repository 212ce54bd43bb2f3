#include "platform/os/os_services.h"

namespace kraylo {

std::tm LocalTime(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  return local;
}

}  // namespace kraylo
