// A POSIX UDP socket reports an ICMP error only once it is connected, which the game's never is.
#include "platform/network.h"

namespace kraylo {

void IgnoreUdpResets(uintptr_t /*socket*/) {}

}  // namespace kraylo
