// Each packet is described once, by a Describe function over its fields; the same description
// writes the packet (Writer) and reads it back (Reader), so the two can never disagree. A field's
// accepted range is named beside it and checked on the way in.
#include "net/protocol.h"

#include <algorithm>
#include <limits>
#include <string>
#include <type_traits>

#include "platform/run_error.h"
#include "platform/surface.h"

namespace kraylo {
namespace {

// "KRAY", after the type of each handshake packet: a stray datagram is not taken for a player.
constexpr uint32_t kMagic = 0x5941524Bu;
// Type, magic and version: the part of a handshake packet every version reads alike (bytes).
constexpr size_t kHandshakeHead = 7;

// The first byte of every packet, and whether the handshake head follows it.
template <typename P>
struct Kind;
template <>
struct Kind<InputPacket> {
  static constexpr uint8_t kType = 1;
  static constexpr bool kHandshake = false;
};
template <>
struct Kind<HelloPacket> {
  static constexpr uint8_t kType = 2;
  static constexpr bool kHandshake = true;
};
template <>
struct Kind<WelcomePacket> {
  static constexpr uint8_t kType = 3;
  static constexpr bool kHandshake = true;
};
template <>
struct Kind<RefusePacket> {
  static constexpr uint8_t kType = 4;
  static constexpr bool kHandshake = true;
};
template <>
struct Kind<ReadyPacket> {
  static constexpr uint8_t kType = 5;
  static constexpr bool kHandshake = false;
};
template <>
struct Kind<StartPacket> {
  static constexpr uint8_t kType = 6;
  static constexpr bool kHandshake = false;
};
template <>
struct Kind<QuitPacket> {
  static constexpr uint8_t kType = 7;
  static constexpr bool kHandshake = false;
};
template <>
struct Kind<DesyncPacket> {
  static constexpr uint8_t kType = 8;
  static constexpr bool kHandshake = false;
};
template <>
struct Kind<RejoinPacket> {
  static constexpr uint8_t kType = 9;
  static constexpr bool kHandshake = true;
};
template <>
struct Kind<WatchPacket> {
  static constexpr uint8_t kType = 10;
  static constexpr bool kHandshake = true;
};
template <>
struct Kind<WatchWelcomePacket> {
  static constexpr uint8_t kType = 11;
  static constexpr bool kHandshake = true;
};
template <>
struct Kind<TicksPacket> {
  static constexpr uint8_t kType = 12;
  static constexpr bool kHandshake = false;
};
template <>
struct Kind<WatchersPacket> {
  static constexpr uint8_t kType = 13;
  static constexpr bool kHandshake = false;
};

// The values a field may take on the way in.
template <typename T>
struct Range {
  T low;
  T high;
  bool Holds(T value) const { return value >= low && value <= high; }
};
template <typename T>
constexpr Range<T> kAny{std::numeric_limits<T>::min(), std::numeric_limits<T>::max()};
// Sides of a field a handshake may name: what a surface can be (pixels).
constexpr Range<int32_t> kFieldSides{1, Surface::kMaxSide};
// The joiner always steers ball 2.
constexpr Range<uint8_t> kJoinersBall{2, 2};
constexpr Range<uint16_t> kReconnectSecondsRange{1, kMostReconnectSeconds};
constexpr Range<uint8_t> kRefusalReasons{static_cast<uint8_t>(RefusalReason::kVersion),
                                         static_cast<uint8_t>(RefusalReason::kNoRoom)};
constexpr Range<uint8_t> kWatcherCounts{0, kMostWatchers};
// The input packet's offsets from its tick: one signed byte each.
constexpr int64_t kMostAckAhead = 127;  // ticks beyond `tick` an acknowledgement may claim
// The checked field says how many ticks before `tick` the checksummed state is; this says none.
constexpr uint8_t kNoChecksum = 255;

// `value` as a field of type T; raises kErrOverflow when it does not fit, which the session's
// bounds never let happen.
template <typename T>
T Narrow(int64_t value, const char* field) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
    Raise(kErrOverflow,
          std::string("A packet's ") + field + " is out of range: " + std::to_string(value));
  }
  return static_cast<T>(value);
}

// Little-endian fields into a packet's buffer.
class Writer {
 public:
  explicit Writer(PacketBytes& out) : out_(out) {}

  template <typename T>
  void Number(const T& value, Range<T> /*accepted*/ = kAny<T>) {
    using Unsigned = std::make_unsigned_t<T>;
    const auto bits = static_cast<Unsigned>(value);
    for (size_t i = 0; i < sizeof(T); ++i) Byte(static_cast<uint8_t>(bits >> (8 * i)));
  }
  template <typename E>
  void Enumerated(const E& value, Range<uint8_t> accepted) {
    Number(static_cast<uint8_t>(value), accepted);
  }
  // A tick as 32 bits.
  void Tick(const int64_t& tick) { Number(Narrow<uint32_t>(tick, "tick")); }
  // An input packet's first input, as a signed byte back from its tick.
  void FirstInput(const int64_t& first, int64_t tick) {
    Number(Narrow<int8_t>(first - tick, "first input"));
  }
  // The count of inputs, then half a byte each, the low half first.
  void Inputs(const std::array<Directions, kMaxInputsPerPacket>& inputs, const int& count) {
    if (Narrow<uint8_t>(count, "input count") > kMaxInputsPerPacket) {
      Raise(kErrOverflow, "An input packet carries at most 32 inputs");
    }
    Number(static_cast<uint8_t>(count));
    for (size_t i = 0; i < static_cast<size_t>(count); i += 2) {
      const auto low = static_cast<uint8_t>(inputs[i] & 0x0F);
      const auto high =
          static_cast<uint8_t>(i + 1 < static_cast<size_t>(count) ? inputs[i + 1] & 0x0F : 0);
      Byte(static_cast<uint8_t>(low | high << 4));
    }
  }
  // A count of confirmed ticks, then a byte each.
  void Ticks(const std::array<Directions, kMaxTicksPerPacket>& inputs, const int& count) {
    if (count < 1 || count > kMaxTicksPerPacket) {
      Raise(kErrOverflow,
            "A packet to a spectator carries 1 to 200 ticks, not " + std::to_string(count));
    }
    Number(static_cast<uint8_t>(count));
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) Number(inputs[i]);
  }
  // The other side's inputs held, as a signed byte from `tick`. Claiming fewer than are held is
  // safe: they come again.
  void Acknowledged(const int64_t& ack, int64_t tick) {
    Number(Narrow<int8_t>(std::min(ack - tick, kMostAckAhead), "acknowledgement"));
  }
  // The ticks confirmed, as the age of their checksum before `tick`; a checksum too far back is
  // left out, the next packet carrying a later one.
  void Confirmed(const int64_t& checked, int64_t tick) {
    const int64_t back = tick - checked;
    if (back < 0) Raise(kErrOverflow, "An input packet cannot check a tick not yet run");
    Number(checked == 0 || back >= kNoChecksum ? kNoChecksum : static_cast<uint8_t>(back));
  }

 private:
  void Byte(uint8_t value) { out_.data[out_.size++] = value; }
  PacketBytes& out_;
};

// Little-endian fields out of a datagram. A read past its end, or a value out of its field's
// range, fails the reader; every later read gives 0.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  template <typename T>
  void Number(T& value, Range<T> accepted = kAny<T>) {
    using Unsigned = std::make_unsigned_t<T>;
    value = static_cast<T>(static_cast<Unsigned>(Bytes(sizeof(T))));
    if (!accepted.Holds(value)) ok_ = false;
  }
  template <typename E>
  void Enumerated(E& value, Range<uint8_t> accepted) {
    uint8_t number = 0;
    Number(number, accepted);
    value = static_cast<E>(number);
  }
  void Tick(int64_t& tick) { tick = static_cast<int64_t>(Bytes(4)); }
  void FirstInput(int64_t& first, int64_t tick) {
    first = tick + Signed();
    if (first < 0) ok_ = false;
  }
  void Inputs(std::array<Directions, kMaxInputsPerPacket>& inputs, int& count) {
    uint8_t number = 0;
    Number(number, Range<uint8_t>{0, kMaxInputsPerPacket});
    count = ok_ ? number : 0;
    for (size_t i = 0; i < static_cast<size_t>(count); i += 2) {
      const auto pair = static_cast<uint8_t>(Bytes(1));
      inputs[i] = static_cast<Directions>(pair & 0x0F);
      if (i + 1 < static_cast<size_t>(count)) {
        inputs[i + 1] = static_cast<Directions>(pair >> 4);
      } else if ((pair >> 4) != 0) {
        ok_ = false;
      }
    }
  }
  void Ticks(std::array<Directions, kMaxTicksPerPacket>& inputs, int& count) {
    uint8_t number = 0;
    Number(number, Range<uint8_t>{1, kMaxTicksPerPacket});
    count = ok_ ? number : 0;
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) Number(inputs[i]);
  }
  void Acknowledged(int64_t& ack, int64_t tick) {
    ack = tick + Signed();
    if (ack < 0) ok_ = false;
  }
  // A checksum is of the state after a tick: after tick -1 there is none to send.
  void Confirmed(int64_t& checked, int64_t tick) {
    const auto back = static_cast<uint8_t>(Bytes(1));
    checked = back == kNoChecksum ? 0 : tick - back;
    if (back != kNoChecksum && checked < 1) ok_ = false;
  }

  // Every byte read, every field in range, none missing, none left over.
  bool Complete() const { return ok_ && position_ == bytes_.size(); }

 private:
  int8_t Signed() { return static_cast<int8_t>(Bytes(1)); }
  uint64_t Bytes(size_t count) {
    if (!ok_ || bytes_.size() - position_ < count) {
      ok_ = false;
      return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i) value |= uint64_t{bytes_[position_ + i]} << (8 * i);
    position_ += count;
    return value;
  }
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool ok_ = true;
};

// The packets' fields, in the order they go on the wire (after the type and any handshake head).
// On the wire, an input packet is 17 bytes and half a byte per input.
template <typename Io, typename P>
void Describe(Io& io, P& packet) {
  if constexpr (std::is_same_v<P, InputPacket>) {
    io.Tick(packet.tick);
    io.FirstInput(packet.first, packet.tick);
    io.Inputs(packet.inputs, packet.count);
    io.Acknowledged(packet.ack, packet.tick);
    io.Confirmed(packet.checked, packet.tick);
    io.Number(packet.checksum);
    io.Number(packet.stamp);
    io.Number(packet.echo);
  } else if constexpr (std::is_same_v<P, HelloPacket>) {
    io.Number(packet.width, kFieldSides);
    io.Number(packet.height, kFieldSides);
  } else if constexpr (std::is_same_v<P, WelcomePacket>) {
    io.Number(packet.seed);
    io.Number(packet.width, kFieldSides);
    io.Number(packet.height, kFieldSides);
    io.Number(packet.ball, kJoinersBall);
    io.Number(packet.token);
    io.Number(packet.reconnect_seconds, kReconnectSecondsRange);
  } else if constexpr (std::is_same_v<P, RejoinPacket>) {
    io.Number(packet.token);
  } else if constexpr (std::is_same_v<P, RefusePacket>) {
    io.Enumerated(packet.reason, kRefusalReasons);
    io.Number(packet.width, kFieldSides);
    io.Number(packet.height, kFieldSides);
  } else if constexpr (std::is_same_v<P, DesyncPacket>) {
    io.Tick(packet.tick);
  } else if constexpr (std::is_same_v<P, WatchPacket>) {
    io.Tick(packet.from);
  } else if constexpr (std::is_same_v<P, WatchWelcomePacket>) {
    io.Number(packet.seed);
    io.Number(packet.width, kFieldSides);
    io.Number(packet.height, kFieldSides);
  } else if constexpr (std::is_same_v<P, TicksPacket>) {
    io.Tick(packet.first);
    io.Ticks(packet.inputs, packet.count);
    io.Number(packet.checksum);
  } else if constexpr (std::is_same_v<P, WatchersPacket>) {
    io.Number(packet.count, kWatcherCounts);
  } else {
    static_assert(std::is_empty_v<P>, "a packet without a description");
  }
}

template <typename P>
PacketBytes EncodeAs(P packet, uint16_t version) {
  PacketBytes out;
  Writer write(out);
  write.Number(Kind<P>::kType);
  if constexpr (Kind<P>::kHandshake) {
    write.Number(kMagic);
    write.Number(version);
  }
  Describe(write, packet);
  return out;
}

template <typename P>
Packet DecodeAs(std::span<const uint8_t> bytes) {
  Reader in(bytes);
  uint8_t type = 0;
  in.Number(type);
  if constexpr (Kind<P>::kHandshake) {
    uint32_t magic = 0;
    uint16_t version = 0;
    in.Number(magic);
    in.Number(version);
    if (bytes.size() < kHandshakeHead || magic != kMagic) return MalformedPacket{};
    // A later version may change the body: its head is all that is read.
    if (version != kProtocolVersion) return OtherVersionPacket{version};
  }
  P packet{};
  Describe(in, packet);
  if (!in.Complete()) return MalformedPacket{};
  return packet;
}

}  // namespace

PacketBytes Encode(const InputPacket& packet) { return EncodeAs(packet, kProtocolVersion); }
PacketBytes Encode(const HelloPacket& packet, uint16_t version) {
  return EncodeAs(packet, version);
}
PacketBytes Encode(const WelcomePacket& packet, uint16_t version) {
  return EncodeAs(packet, version);
}
PacketBytes Encode(const RejoinPacket& packet, uint16_t version) {
  return EncodeAs(packet, version);
}
PacketBytes Encode(const RefusePacket& packet, uint16_t version) {
  return EncodeAs(packet, version);
}
PacketBytes Encode(const ReadyPacket& packet) { return EncodeAs(packet, kProtocolVersion); }
PacketBytes Encode(const StartPacket& packet) { return EncodeAs(packet, kProtocolVersion); }
PacketBytes Encode(const QuitPacket& packet) { return EncodeAs(packet, kProtocolVersion); }
PacketBytes Encode(const DesyncPacket& packet) { return EncodeAs(packet, kProtocolVersion); }
PacketBytes Encode(const WatchPacket& packet, uint16_t version) {
  return EncodeAs(packet, version);
}
PacketBytes Encode(const WatchWelcomePacket& packet, uint16_t version) {
  return EncodeAs(packet, version);
}
PacketBytes Encode(const TicksPacket& packet) { return EncodeAs(packet, kProtocolVersion); }
PacketBytes Encode(const WatchersPacket& packet) { return EncodeAs(packet, kProtocolVersion); }

Packet Decode(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > kMaxPacketBytes) return MalformedPacket{};
  switch (bytes[0]) {
    case Kind<InputPacket>::kType:
      return DecodeAs<InputPacket>(bytes);
    case Kind<HelloPacket>::kType:
      return DecodeAs<HelloPacket>(bytes);
    case Kind<WelcomePacket>::kType:
      return DecodeAs<WelcomePacket>(bytes);
    case Kind<RefusePacket>::kType:
      return DecodeAs<RefusePacket>(bytes);
    case Kind<ReadyPacket>::kType:
      return DecodeAs<ReadyPacket>(bytes);
    case Kind<StartPacket>::kType:
      return DecodeAs<StartPacket>(bytes);
    case Kind<QuitPacket>::kType:
      return DecodeAs<QuitPacket>(bytes);
    case Kind<DesyncPacket>::kType:
      return DecodeAs<DesyncPacket>(bytes);
    case Kind<RejoinPacket>::kType:
      return DecodeAs<RejoinPacket>(bytes);
    case Kind<WatchPacket>::kType:
      return DecodeAs<WatchPacket>(bytes);
    case Kind<WatchWelcomePacket>::kType:
      return DecodeAs<WatchWelcomePacket>(bytes);
    case Kind<TicksPacket>::kType:
      return DecodeAs<TicksPacket>(bytes);
    case Kind<WatchersPacket>::kType:
      return DecodeAs<WatchersPacket>(bytes);
    default:
      return UnknownPacket{bytes[0]};
  }
}

}  // namespace kraylo
