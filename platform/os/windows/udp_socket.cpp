// Windows reports an ICMP "port unreachable" for a datagram sent earlier as a failure of the next
// receive on the socket (WSAECONNRESET), connected or not; a candidate address that leads nowhere
// would cut short every pass over the socket. SIO_UDP_CONNRESET switches the reports off.
#include <winsock2.h>
// After winsock2.h, which it builds on.
#include <mswsock.h>

#include "platform/network.h"

#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif

namespace kraylo {

void IgnoreUdpResets(uintptr_t socket) {
  BOOL report = FALSE;
  DWORD returned = 0;
  // A socket that keeps reporting only loses a pass now and then: nothing to do when it fails.
  WSAIoctl(static_cast<SOCKET>(socket), SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0,
           &returned, nullptr, nullptr);
}

}  // namespace kraylo
