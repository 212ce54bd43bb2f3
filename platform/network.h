// What the network needs of the operating system beside the network library's own calls.
#pragma once

#include <cstdint>

namespace kraylo {

// Keeps the UDP socket `socket` (the system's handle) from reporting a datagram that could not
// be delivered: on Windows, an ICMP "port unreachable" from one dead address would fail the next
// receive on the socket and cut short a pass over everything that has arrived. Elsewhere it
// changes nothing.
void IgnoreUdpResets(uintptr_t socket);

}  // namespace kraylo
