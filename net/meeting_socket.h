// What a side of a meeting by code needs of the game's own socket: the meeting's datagrams taken
// out before the game's protocol sees them, a way to send its own, and the connection to the
// other side once the meeting has found the way. The meeting shares the socket so that the
// address a NAT gave it towards the service is the one the game plays from.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "meeting/endpoint.h"

namespace kraylo {

struct MeetingDatagram {
  Endpoint from;
  std::vector<uint8_t> bytes;
};

class MeetingSocket {
 public:
  virtual ~MeetingSocket() = default;
  // The meeting's datagrams received since the last call, oldest first (at most
  // kMostMeetingDatagrams: a flood cannot grow the queue).
  virtual std::vector<MeetingDatagram> TakeMeetingDatagrams() = 0;
  // Sends one datagram of the meeting's at once, beside the game's.
  virtual void SendMeetingDatagram(Endpoint to, std::span<const uint8_t> bytes) = 0;
  // The joiner's connection to the host at `host` (its address, or the relay port that stands
  // for it), begun now; again when the way has changed. Only a joiner dials.
  virtual void DialPeer(Endpoint host) = 0;
  // The UDP port the socket is bound to.
  virtual uint16_t port() const = 0;

  // Datagrams held for the meeting at most.
  static constexpr size_t kMostMeetingDatagrams = 64;
};

}  // namespace kraylo
