// The packets two machines exchange in a network game, as bytes on the wire and back. Every size is
// bounded and every field checked on the way in: a datagram from the network is hostile input.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "input/directions.h"

namespace kraylo {

// Raised by one side of a change to the packets, so that two builds that do not understand each
// other say so instead of playing apart. 2: every datagram carries ENet's CRC32, which version 1's
// datagrams lack, so the two never get as far as a handshake. 3: spectators.
inline constexpr uint16_t kProtocolVersion = 3;
// The UDP port a host waits on unless told otherwise.
inline constexpr uint16_t kDefaultPort = 27910;
// No packet of ours is longer (bytes); anything longer is not ours.
inline constexpr size_t kMaxPacketBytes = 256;
// The most inputs one input packet carries (ticks).
inline constexpr int kMaxInputsPerPacket = 32;
// The most confirmed ticks one packet to a spectator carries.
inline constexpr int kMaxTicksPerPacket = 200;
// The most spectators a host lets watch at once.
inline constexpr int kMostWatchers = 8;

// The two channels of a connection.
enum class Channel : uint8_t {
  kInput = 0,    // unsequenced: the per-tick input packets, each complete in itself
  kControl = 1,  // reliable and ordered: handshake, start, quit, desync
};

// Sent every tick by each side: its own inputs the other side has not acknowledged, how many of the
// other side's inputs it holds, and the checksum of its last confirmed state. On the wire: 17 bytes
// and half a byte per input; ack, first and checked go as small offsets from tick.
struct InputPacket {
  int64_t tick = 0;   // ticks the sender has run
  int64_t first = 0;  // the tick of inputs[0]
  int count = 0;      // inputs carried, 0 to kMaxInputsPerPacket
  // The sender's own ball's directions (bits 0-3: Left, Right, Up, Down), tick first + i.
  std::array<Directions, kMaxInputsPerPacket> inputs{};
  int64_t ack = 0;        // the receiver's inputs the sender holds, from tick 0 on without a gap
  int64_t checked = 0;    // ticks the sender has confirmed; 0: none yet
  uint32_t checksum = 0;  // StateChecksum after tick checked - 1 (when checked > 0)
  uint16_t stamp = 0;     // the sender's clock, milliseconds modulo 65536
  // The last stamp the sender received plus the milliseconds it held it; 0: none yet.
  uint16_t echo = 0;
};

// Joiner to host, first thing on a new connection.
struct HelloPacket {
  int32_t width = 0;   // the joiner's field, pixels
  int32_t height = 0;  // pixels
};

// The longest a game waits for a lost connection to come back (seconds), and how long it waits
// when the host's configuration does not say.
inline constexpr int kMostReconnectSeconds = 600;
inline constexpr int kDefaultReconnectSeconds = 60;

// Host to joiner: the game the joiner is let into, or let back into.
struct WelcomePacket {
  uint64_t seed = 0;   // of the generator that places the rounds
  int32_t width = 0;   // the host's field, pixels
  int32_t height = 0;  // pixels
  uint8_t ball = 2;    // the ball the joiner steers
  uint64_t token = 0;  // what the joiner says to come back after the connection was lost
  // How long after the last packet a lost connection may come back (seconds, 1 to
  // kMostReconnectSeconds): the host's, for both sides.
  uint16_t reconnect_seconds = kDefaultReconnectSeconds;
};

// Joiner to host, first thing on a new connection after the old one was lost.
struct RejoinPacket {
  uint64_t token = 0;  // the welcome's
};

// Why a side turned the other away.
enum class RefusalReason : uint8_t {
  kVersion = 1,    // another protocol version
  kFieldSize = 2,  // another field size
  kHasPlayer = 3,  // the host plays with someone else already
  kNoRoom = 4,     // the host has as many spectators as it takes (kMostWatchers)
};

// Either side, when it will not play with the other; the connection ends after it.
struct RefusePacket {
  RefusalReason reason = RefusalReason::kVersion;
  int32_t width = 0;   // the refusing side's field, pixels
  int32_t height = 0;  // pixels
};

struct ReadyPacket {};  // this side's player has pressed Play
struct StartPacket {};  // host to joiner: tick 0 is now
// This side's player has left the game; host to spectator: the game has ended.
struct QuitPacket {};

// This side found the two states apart.
struct DesyncPacket {
  int64_t tick = 0;  // the first tick whose checksums differ
};

// Spectator to host, first thing on a new connection: it would watch the game, from tick `from`
// on (0 the first time; where it had got to when it comes back after a lost connection).
struct WatchPacket {
  int64_t from = 0;
};

// Host to spectator: the game it may watch. No token: a spectator never plays.
struct WatchWelcomePacket {
  uint64_t seed = 0;   // of the generator that places the rounds
  int32_t width = 0;   // the host's field, pixels
  int32_t height = 0;  // pixels
};

// Host to spectator: confirmed ticks, in order, and the checksum of the state after the last.
struct TicksPacket {
  int64_t first = 0;  // the tick of inputs[0]
  int count = 0;      // ticks carried, 1 to kMaxTicksPerPacket
  // Both balls' directions (ball 1's in bits 0-3, ball 2's in bits 4-7), tick first + i.
  std::array<Directions, kMaxTicksPerPacket> inputs{};
  uint32_t checksum = 0;  // StateChecksum after tick first + count - 1
};

// Host to joiner: how many spectators watch now.
struct WatchersPacket {
  uint8_t count = 0;  // 0 to kMostWatchers
};

// A handshake packet (hello, welcome, rejoin or refusal) of another protocol version: only its
// version can be read.
struct OtherVersionPacket {
  uint16_t version = 0;
};

// Bytes that are not one of our packets: too short or too long, a field out of its range.
struct MalformedPacket {};
// A packet type this version does not know (ignored, so that a later version may add some).
struct UnknownPacket {
  uint8_t type = 0;
};

using Packet =
    std::variant<InputPacket, HelloPacket, WelcomePacket, RejoinPacket, RefusePacket, ReadyPacket,
                 StartPacket, QuitPacket, DesyncPacket, WatchPacket, WatchWelcomePacket,
                 TicksPacket, WatchersPacket, OtherVersionPacket, MalformedPacket, UnknownPacket>;

// A packet's bytes, in a buffer of fixed size.
struct PacketBytes {
  std::array<uint8_t, kMaxPacketBytes> data{};
  size_t size = 0;
  std::span<const uint8_t> bytes() const { return {data.data(), size}; }
};

// The bytes of a packet; version is `version` for the handshake packets (others only for tests).
// An input packet says at most 127 inputs beyond its tick are held, and leaves out a checksum more
// than 254 ticks back; a tick beyond 32 bits, a first input more than 128 ticks from the tick, more
// than 32 inputs, an acknowledgement more than 128 ticks back or a checksum of a later tick raise
// kErrOverflow: a session never makes them.
PacketBytes Encode(const InputPacket& packet);
PacketBytes Encode(const HelloPacket& packet, uint16_t version = kProtocolVersion);
PacketBytes Encode(const WelcomePacket& packet, uint16_t version = kProtocolVersion);
PacketBytes Encode(const RejoinPacket& packet, uint16_t version = kProtocolVersion);
PacketBytes Encode(const RefusePacket& packet, uint16_t version = kProtocolVersion);
PacketBytes Encode(const ReadyPacket& packet);
PacketBytes Encode(const StartPacket& packet);
PacketBytes Encode(const QuitPacket& packet);
PacketBytes Encode(const DesyncPacket& packet);
PacketBytes Encode(const WatchPacket& packet, uint16_t version = kProtocolVersion);
PacketBytes Encode(const WatchWelcomePacket& packet, uint16_t version = kProtocolVersion);
PacketBytes Encode(const TicksPacket& packet);
PacketBytes Encode(const WatchersPacket& packet);

// Reads one datagram. Never reads outside `bytes`, never allocates; anything not exactly one of our
// packets is MalformedPacket or UnknownPacket.
Packet Decode(std::span<const uint8_t> bytes);

}  // namespace kraylo
