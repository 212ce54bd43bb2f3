#include "net/protocol.h"

#include <algorithm>
#include <limits>
#include <string>

#include "platform/run_error.h"
#include "platform/surface.h"

namespace kraylo {
namespace {

// The first byte of every packet.
enum PacketType : uint8_t {
  kInputType = 1,
  kHelloType = 2,
  kWelcomeType = 3,
  kRefuseType = 4,
  kReadyType = 5,
  kStartType = 6,
  kQuitType = 7,
  kDesyncType = 8,
  kRejoinType = 9,
};

// "KRAY", after the type of each handshake packet: a stray datagram is not taken for a player.
constexpr uint32_t kMagic = 0x5941524Bu;
// Type, magic and version: the part of a handshake packet every version reads alike (bytes).
constexpr size_t kHandshakeHead = 7;
// Type, tick, first, count, ack, checked, checksum, stamp, echo (bytes).
constexpr size_t kInputFixedBytes = 17;
// The checked field says how many ticks before `tick` the checksummed state is; this says none.
constexpr uint8_t kNoChecksum = 255;
// Sides of a field a handshake may name: what a surface can be (pixels).

// Little-endian fields into a packet's buffer.
class Writer {
 public:
  explicit Writer(PacketBytes& out) : out_(out) {}
  void U8(uint8_t value) { out_.data[out_.size++] = value; }
  void U16(uint16_t value) { Bytes(value, 2); }
  void U32(uint32_t value) { Bytes(value, 4); }
  void U64(uint64_t value) { Bytes(value, 8); }
  void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }

 private:
  void Bytes(uint64_t value, int count) {
    for (int i = 0; i < count; ++i) U8(static_cast<uint8_t>(value >> (8 * i)));
  }
  PacketBytes& out_;
};

// Little-endian fields out of a datagram; a read past its end fails the reader, and every later
// read gives 0.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint8_t U8() { return static_cast<uint8_t>(Bytes(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Bytes(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Bytes(4)); }
  uint64_t U64() { return Bytes(8); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  int8_t I8() { return static_cast<int8_t>(U8()); }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  // Every byte read, none missing, none left over.
  bool Complete() const { return ok_ && position_ == bytes_.size(); }

 private:
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

// `value` as a field of type T; raises kErrOverflow when it does not fit, which the session's
// bounds never let happen.
template <typename T>
T Narrow(int64_t value, const char* field) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
    Raise(kErrOverflow,
          std::string("An input packet's ") + field + " is out of range: " + std::to_string(value));
  }
  return static_cast<T>(value);
}

bool IsFieldSide(int32_t pixels) { return pixels >= 1 && pixels <= Surface::kMaxSide; }

// The head every version of a handshake packet starts with.
void WriteHandshakeHead(Writer& write, uint8_t type, uint16_t version) {
  write.U8(type);
  write.U32(kMagic);
  write.U16(version);
}

PacketBytes OneByte(uint8_t type) {
  PacketBytes out;
  Writer(out).U8(type);
  return out;
}

Packet DecodeInput(std::span<const uint8_t> bytes) {
  Reader in(bytes);
  in.U8();
  InputPacket packet;
  packet.tick = in.U32();
  packet.first = packet.tick + in.I8();
  packet.count = in.U8();
  if (packet.count > kMaxInputsPerPacket || packet.first < 0) return MalformedPacket{};
  for (int i = 0; i < packet.count; i += 2) {
    const uint8_t pair = in.U8();
    packet.inputs[static_cast<size_t>(i)] = static_cast<Directions>(pair & 0x0F);
    if (i + 1 < packet.count) {
      packet.inputs[static_cast<size_t>(i) + 1] = static_cast<Directions>(pair >> 4);
    } else if ((pair >> 4) != 0) {
      return MalformedPacket{};
    }
  }
  packet.ack = packet.tick + in.I8();
  const uint8_t checked_back = in.U8();
  packet.checked = checked_back == kNoChecksum ? 0 : packet.tick - checked_back;
  packet.checksum = in.U32();
  packet.stamp = in.U16();
  packet.echo = in.U16();
  // A checksum is of the state after a tick: after tick -1 there is none to send.
  if (!in.Complete() || packet.ack < 0 || (checked_back != kNoChecksum && packet.checked < 1)) {
    return MalformedPacket{};
  }
  return packet;
}

// A hello, welcome or refusal: the head first, then the body only when the version is ours.
Packet DecodeHandshake(std::span<const uint8_t> bytes) {
  Reader in(bytes);
  const uint8_t type = in.U8();
  const uint32_t magic = in.U32();
  const uint16_t version = in.U16();
  if (bytes.size() < kHandshakeHead || magic != kMagic) return MalformedPacket{};
  if (version != kProtocolVersion) return OtherVersionPacket{version};
  if (type == kHelloType) {
    HelloPacket hello;
    hello.width = in.I32();
    hello.height = in.I32();
    if (!in.Complete() || !IsFieldSide(hello.width) || !IsFieldSide(hello.height)) {
      return MalformedPacket{};
    }
    return hello;
  }
  if (type == kWelcomeType) {
    WelcomePacket welcome;
    welcome.seed = in.U64();
    welcome.width = in.I32();
    welcome.height = in.I32();
    welcome.ball = in.U8();
    welcome.token = in.U64();
    welcome.reconnect_seconds = in.U16();
    if (!in.Complete() || !IsFieldSide(welcome.width) || !IsFieldSide(welcome.height) ||
        welcome.ball != 2 || welcome.reconnect_seconds < 1 ||
        welcome.reconnect_seconds > kMostReconnectSeconds) {
      return MalformedPacket{};
    }
    return welcome;
  }
  if (type == kRejoinType) {
    RejoinPacket rejoin{in.U64()};
    if (!in.Complete()) return MalformedPacket{};
    return rejoin;
  }
  RefusePacket refuse;
  const uint8_t reason = in.U8();
  refuse.reason = static_cast<RefusalReason>(reason);
  refuse.width = in.I32();
  refuse.height = in.I32();
  if (!in.Complete() || reason < 1 || reason > 3 || !IsFieldSide(refuse.width) ||
      !IsFieldSide(refuse.height)) {
    return MalformedPacket{};
  }
  return refuse;
}

template <typename T>
Packet OnlyType(std::span<const uint8_t> bytes) {
  if (bytes.size() != 1) return MalformedPacket{};
  return T{};
}

}  // namespace

PacketBytes Encode(const InputPacket& packet) {
  PacketBytes out;
  Writer write(out);
  write.U8(kInputType);
  write.U32(Narrow<uint32_t>(packet.tick, "tick"));
  write.U8(static_cast<uint8_t>(Narrow<int8_t>(packet.first - packet.tick, "first input")));
  const int count = Narrow<uint8_t>(packet.count, "input count");
  if (count > kMaxInputsPerPacket) Raise(kErrOverflow, "An input packet carries at most 32 inputs");
  write.U8(static_cast<uint8_t>(count));
  for (int i = 0; i < count; i += 2) {
    const auto low = static_cast<uint8_t>(packet.inputs[static_cast<size_t>(i)] & 0x0F);
    const auto high =
        static_cast<uint8_t>(i + 1 < count ? packet.inputs[static_cast<size_t>(i) + 1] & 0x0F : 0);
    write.U8(static_cast<uint8_t>(low | high << 4));
  }
  // Claiming fewer of the other side's inputs than are held is safe: they come again.
  const int64_t ack_ahead = std::min<int64_t>(packet.ack - packet.tick, 127);
  write.U8(static_cast<uint8_t>(Narrow<int8_t>(ack_ahead, "acknowledgement")));
  const int64_t checked_back = packet.tick - packet.checked;
  if (checked_back < 0) Raise(kErrOverflow, "An input packet cannot check a tick not yet run");
  // A checksum too far back is left out; the next packet carries a later one.
  const bool no_checksum = packet.checked == 0 || checked_back >= kNoChecksum;
  write.U8(no_checksum ? kNoChecksum : static_cast<uint8_t>(checked_back));
  write.U32(packet.checksum);
  write.U16(packet.stamp);
  write.U16(packet.echo);
  return out;
}

PacketBytes Encode(const HelloPacket& packet, uint16_t version) {
  PacketBytes out;
  Writer write(out);
  WriteHandshakeHead(write, kHelloType, version);
  write.I32(packet.width);
  write.I32(packet.height);
  return out;
}

PacketBytes Encode(const WelcomePacket& packet, uint16_t version) {
  PacketBytes out;
  Writer write(out);
  WriteHandshakeHead(write, kWelcomeType, version);
  write.U64(packet.seed);
  write.I32(packet.width);
  write.I32(packet.height);
  write.U8(packet.ball);
  write.U64(packet.token);
  write.U16(packet.reconnect_seconds);
  return out;
}

PacketBytes Encode(const RejoinPacket& packet, uint16_t version) {
  PacketBytes out;
  Writer write(out);
  WriteHandshakeHead(write, kRejoinType, version);
  write.U64(packet.token);
  return out;
}

PacketBytes Encode(const RefusePacket& packet, uint16_t version) {
  PacketBytes out;
  Writer write(out);
  WriteHandshakeHead(write, kRefuseType, version);
  write.U8(static_cast<uint8_t>(packet.reason));
  write.I32(packet.width);
  write.I32(packet.height);
  return out;
}

PacketBytes Encode(const ReadyPacket&) { return OneByte(kReadyType); }
PacketBytes Encode(const StartPacket&) { return OneByte(kStartType); }
PacketBytes Encode(const QuitPacket&) { return OneByte(kQuitType); }

PacketBytes Encode(const DesyncPacket& packet) {
  PacketBytes out;
  Writer write(out);
  write.U8(kDesyncType);
  write.U32(Narrow<uint32_t>(packet.tick, "desync tick"));
  return out;
}

Packet Decode(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > kMaxPacketBytes) return MalformedPacket{};
  switch (bytes[0]) {
    case kInputType:
      return DecodeInput(bytes);
    case kHelloType:
    case kWelcomeType:
    case kRejoinType:
    case kRefuseType:
      return DecodeHandshake(bytes);
    case kReadyType:
      return OnlyType<ReadyPacket>(bytes);
    case kStartType:
      return OnlyType<StartPacket>(bytes);
    case kQuitType:
      return OnlyType<QuitPacket>(bytes);
    case kDesyncType: {
      Reader in(bytes);
      in.U8();
      DesyncPacket desync{in.U32()};
      if (!in.Complete()) return MalformedPacket{};
      return desync;
    }
    default:
      return UnknownPacket{bytes[0]};
  }
}

}  // namespace kraylo
