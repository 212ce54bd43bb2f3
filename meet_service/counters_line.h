// The line of counters the service logs once a minute.
#pragma once

#include <string>

#include "meet_service/meeting_service.h"

namespace kraylo {

// "rooms 12, games met 3, relayed 1 (1 began), relayed 5120 bytes in 80 datagrams, dropped 0,
// refused: no-such-code 2 slow-down 1".
std::string CountersLine(const ServiceCounters& counters);

}  // namespace kraylo
