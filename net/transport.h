// What a network game needs from the network: connections to peers, and datagrams on two
// channels to and from them. The session is written against this, so that tests can run it over
// a transport of their own; the program runs it over ENet (enet_transport.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "net/meeting_socket.h"
#include "net/protocol.h"

namespace kraylo {

// One connection; a new connection never reuses the number of an earlier one.
using PeerId = uint32_t;

struct TransportEvent {
  enum class Kind {
    kConnected,     // a peer's connection is up (the host: a joiner; the joiner: the host)
    kDisconnected,  // a peer's connection has ended, by its own word or by a time-out
    kReceived,      // a datagram from a peer
  };
  Kind kind = Kind::kReceived;
  PeerId peer = 0;
  Channel channel = Channel::kInput;  // kReceived
  // kReceived: the datagram, whole when it fits (size <= kMaxPacketBytes); a longer one is not
  // copied and reads as `oversized`.
  std::array<uint8_t, kMaxPacketBytes> data{};
  size_t size = 0;
  bool oversized = false;
  // kDisconnected: the other side ended the connection on purpose (not a time-out).
  bool deliberate = false;
  std::span<const uint8_t> bytes() const { return {data.data(), oversized ? 0 : size}; }
};

class Transport {
 public:
  virtual ~Transport() = default;
  // Takes the next event that has arrived into `event`; false when there is none. Never waits.
  virtual bool Poll(TransportEvent& event) = 0;
  // Queues a datagram for `peer`; a peer that has gone takes nothing.
  virtual void Send(PeerId peer, Channel channel, std::span<const uint8_t> bytes) = 0;
  // Sends everything queued now, rather than at the next Poll.
  virtual void Flush() = 0;
  // Ends the connection to `peer` once what is queued for it has been delivered.
  virtual void Disconnect(PeerId peer) = 0;
  // Bytes queued for `peer` on the reliable channel or on their way there, not yet acknowledged:
  // how far a slow connection has fallen behind what it is sent.
  virtual size_t Backlog(PeerId peer) const = 0;
  // The joiner, after its connection was lost: drops it without a word and connects to the host
  // again, from whatever address it now has (kConnected when the host answers). A host's does
  // nothing.
  virtual void Redial() = 0;
  // The socket beneath, shared with a meeting by code; nullptr when the transport has none.
  virtual MeetingSocket* meeting_socket() { return nullptr; }
};

}  // namespace kraylo
