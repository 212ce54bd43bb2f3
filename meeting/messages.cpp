// Each message is described once, by a Describe function over its fields; the same description
// writes it (Writer) and reads it back (Reader). Every kind has a fixed size: a request's is at
// least the sum of everything the service may send because of it.
#include "meeting/messages.h"

#include <limits>
#include <type_traits>

namespace kraylo {
namespace {

// The first word: peer 4094, no flags, as ENet would put it (big-endian).
constexpr std::array<uint8_t, 2> kMarker = {0x0F, 0xFE};
constexpr std::array<uint8_t, 4> kMagic = {'K', 'M', 'E', 'T'};
// Marker, magic, version and type before the body; the CRC32 after the padding (bytes).
constexpr size_t kHead = 8;
constexpr size_t kCheck = 4;

// Each kind's type byte and size on the wire (bytes, head and check included).
template <typename M>
struct Kind;
#define KRAYLO_MEETING_KIND(M, type, size) \
  template <>                              \
  struct Kind<M> {                         \
    static constexpr uint8_t kType = type; \
    static constexpr size_t kSize = size;  \
  };
// Requests; a join is answered to the joiner and introduced to the host: 84 + 79 bytes.
KRAYLO_MEETING_KIND(RegisterMessage, 1, 48)
KRAYLO_MEETING_KIND(KeepAliveMessage, 2, 69)
KRAYLO_MEETING_KIND(JoinMessage, 3, 163)
KRAYLO_MEETING_KIND(BindRequestMessage, 4, 28)
KRAYLO_MEETING_KIND(BindMessage, 5, 39)
KRAYLO_MEETING_KIND(ProbeMessage, 6, 26)
// Answers.
KRAYLO_MEETING_KIND(RegisteredMessage, 16, 39)
KRAYLO_MEETING_KIND(KeptMessage, 17, 23)
KRAYLO_MEETING_KIND(JoinedMessage, 18, 84)
KRAYLO_MEETING_KIND(IntroductionMessage, 19, 79)
KRAYLO_MEETING_KIND(ChallengeMessage, 20, 28)
KRAYLO_MEETING_KIND(BoundMessage, 21, 24)
KRAYLO_MEETING_KIND(RefusedMessage, 22, 14)
#undef KRAYLO_MEETING_KIND

template <typename T>
struct Range {
  T low;
  T high;
};
template <typename T>
constexpr Range<T> kAny{std::numeric_limits<T>::min(), std::numeric_limits<T>::max()};
constexpr Range<uint8_t> kFlag{0, 1};
constexpr Range<uint8_t> kOfferFlags{0, 3};  // bit 0: the port varies, bit 1: the address hidden
constexpr Range<uint8_t> kRoles{0, static_cast<uint8_t>(MeetingRole::kWatcher)};
constexpr Range<uint8_t> kJoinRoles{static_cast<uint8_t>(MeetingRole::kPlayer),
                                    static_cast<uint8_t>(MeetingRole::kWatcher)};
constexpr Range<uint8_t> kRefusals{1, static_cast<uint8_t>(MeetingRefusal::kWatchersFull)};
constexpr Range<uint8_t> kCandidateCounts{0, kMostCandidates};
constexpr Range<uint16_t> kKeepSeconds{kFewestKeepSeconds, kMostKeepSeconds};
// A field's sides: what a window can be (pixels).
constexpr Range<int32_t> kSides{1, 1 << 15};

class Writer {
 public:
  explicit Writer(MeetingBytes& out) : out_(out) {}
  template <typename T>
  void Number(const T& value, Range<T> /*accepted*/ = kAny<T>) {
    const auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) Byte(static_cast<uint8_t>(bits >> (8 * i)));
  }
  template <typename E>
  void Enumerated(const E& value, Range<uint8_t> accepted) {
    Number(static_cast<uint8_t>(value), accepted);
  }
  void Code(const RoomCode& code) {
    for (size_t i = 0; i < 5; ++i) Byte(static_cast<uint8_t>(code.value >> (8 * i)));
  }
  void Key(const HashKey& key) {
    for (const uint8_t byte : key) Byte(byte);
  }
  void Byte(uint8_t value) { out_.data[out_.size++] = value; }

 private:
  MeetingBytes& out_;
};

// A read past the end or a value out of its range fails the reader; later reads give 0.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  template <typename T>
  void Number(T& value, Range<T> accepted = kAny<T>) {
    value = static_cast<T>(static_cast<std::make_unsigned_t<T>>(Bytes(sizeof(T))));
    if (value < accepted.low || value > accepted.high) ok_ = false;
  }
  template <typename E>
  void Enumerated(E& value, Range<uint8_t> accepted) {
    uint8_t number = 0;
    Number(number, accepted);
    value = static_cast<E>(number);
  }
  void Code(RoomCode& code) { code.value = Bytes(5); }
  void Key(HashKey& key) {
    for (uint8_t& byte : key) byte = static_cast<uint8_t>(Bytes(1));
  }
  bool ok() const { return ok_; }

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

template <typename Io>
void DescribeEndpoint(Io& io, Endpoint& endpoint) {
  io.Number(endpoint.address);
  io.Number(endpoint.port);
}

// Every slot goes on the wire, used or not, so that an offer has one size.
template <typename Io>
void DescribeOffer(Io& io, Offer& offer) {
  io.Number(offer.game_version);
  io.Number(offer.width, kSides);
  io.Number(offer.height, kSides);
  // Both flags share a byte; written from the fields, then read back into them.
  auto flags = static_cast<uint8_t>((offer.port_varies & 1) | (offer.hides_address & 1) << 1);
  io.Number(flags, kOfferFlags);
  offer.port_varies = flags & 1;
  offer.hides_address = (flags >> 1) & 1;
  io.Number(offer.candidates.count, kCandidateCounts);
  for (Endpoint& endpoint : offer.candidates.endpoints) DescribeEndpoint(io, endpoint);
}

template <typename Io, typename M>
void Describe(Io& io, M& message) {
  if constexpr (std::is_same_v<M, RegisterMessage>) {
    DescribeOffer(io, message.offer);
  } else if constexpr (std::is_same_v<M, KeepAliveMessage>) {
    io.Code(message.code);
    io.Key(message.room_token);
    DescribeOffer(io, message.offer);
  } else if constexpr (std::is_same_v<M, JoinMessage>) {
    io.Code(message.code);
    io.Enumerated(message.role, kJoinRoles);
    DescribeOffer(io, message.offer);
  } else if constexpr (std::is_same_v<M, BindRequestMessage>) {
    io.Number(message.game);
    io.Enumerated(message.role, kRoles);
  } else if constexpr (std::is_same_v<M, BindMessage>) {
    io.Number(message.game);
    io.Enumerated(message.role, kRoles);
    io.Number(message.challenge);
    io.Number(message.proof);
    io.Number(message.keep_seconds, kKeepSeconds);
  } else if constexpr (std::is_same_v<M, ProbeMessage>) {
    io.Number(message.game);
    io.Enumerated(message.role, kRoles);
    io.Number(message.answer, kFlag);
    io.Number(message.nonce);
  } else if constexpr (std::is_same_v<M, RegisteredMessage>) {
    io.Code(message.code);
    io.Key(message.room_token);
    DescribeEndpoint(io, message.seen);
  } else if constexpr (std::is_same_v<M, KeptMessage>) {
    io.Code(message.code);
    DescribeEndpoint(io, message.seen);
  } else if constexpr (std::is_same_v<M, JoinedMessage>) {
    io.Number(message.game);
    io.Key(message.token);
    DescribeEndpoint(io, message.seen);
    DescribeEndpoint(io, message.peer);
    DescribeOffer(io, message.peer_offer);
  } else if constexpr (std::is_same_v<M, IntroductionMessage>) {
    io.Number(message.game);
    io.Key(message.token);
    io.Enumerated(message.role, kJoinRoles);
    DescribeEndpoint(io, message.peer);
    DescribeOffer(io, message.peer_offer);
  } else if constexpr (std::is_same_v<M, ChallengeMessage>) {
    io.Number(message.game);
    io.Number(message.challenge);
  } else if constexpr (std::is_same_v<M, BoundMessage>) {
    io.Number(message.game);
    io.Number(message.own_port);
    io.Number(message.peer_port);
  } else if constexpr (std::is_same_v<M, RefusedMessage>) {
    io.Enumerated(message.reason, kRefusals);
    io.Number(message.version);
  }
}

template <typename M>
constexpr bool kHasBytes =
    !std::is_same_v<M, MalformedMessage> && !std::is_same_v<M, OtherVersionMessage>;

void AppendCheck(MeetingBytes& out) {
  const uint32_t check = Crc32({out.data.data(), out.size});
  for (size_t i = 0; i < kCheck; ++i) out.data[out.size++] = static_cast<uint8_t>(check >> (8 * i));
}

template <typename M>
MeetingMessage DecodeAs(std::span<const uint8_t> bytes) {
  if (bytes.size() != Kind<M>::kSize) return MalformedMessage{};
  Reader in(bytes.subspan(kHead, bytes.size() - kHead - kCheck));
  M message{};
  Describe(in, message);
  if (!in.ok()) return MalformedMessage{};
  return message;
}

}  // namespace

size_t MeetingSize(const MeetingMessage& message) {
  return std::visit(
      [](const auto& m) -> size_t {
        using M = std::decay_t<decltype(m)>;
        if constexpr (kHasBytes<M>) {
          return Kind<M>::kSize;
        } else {
          return 0;
        }
      },
      message);
}

MeetingBytes EncodeMeeting(const MeetingMessage& message, uint8_t version) {
  MeetingBytes out;
  std::visit(
      [&](const auto& m) {
        using M = std::decay_t<decltype(m)>;
        if constexpr (kHasBytes<M>) {
          Writer write(out);
          for (const uint8_t byte : kMarker) write.Byte(byte);
          for (const uint8_t byte : kMagic) write.Byte(byte);
          write.Byte(version);
          write.Byte(Kind<M>::kType);
          M copy = m;
          Describe(write, copy);
          // The padding: zeros up to the kind's size, before the check.
          while (out.size < Kind<M>::kSize - kCheck) write.Byte(0);
          AppendCheck(out);
        }
      },
      message);
  return out;
}

bool IsMeetingDatagram(std::span<const uint8_t> bytes) {
  return bytes.size() >= kHead && bytes[0] == kMarker[0] && bytes[1] == kMarker[1] &&
         std::equal(kMagic.begin(), kMagic.end(), bytes.begin() + 2);
}

MeetingMessage DecodeMeeting(std::span<const uint8_t> bytes) {
  if (!IsMeetingDatagram(bytes) || bytes.size() < kHead + kCheck ||
      bytes.size() > kMaxMeetingBytes) {
    return MalformedMessage{};
  }
  const size_t body = bytes.size() - kCheck;
  uint32_t check = 0;
  for (size_t i = 0; i < kCheck; ++i) check |= uint32_t{bytes[body + i]} << (8 * i);
  if (check != Crc32(bytes.first(body))) return MalformedMessage{};
  if (bytes[6] != kMeetingVersion) return OtherVersionMessage{bytes[6]};
  switch (bytes[7]) {
#define KRAYLO_DECODE(M) \
  case Kind<M>::kType:   \
    return DecodeAs<M>(bytes);
    KRAYLO_DECODE(RegisterMessage)
    KRAYLO_DECODE(KeepAliveMessage)
    KRAYLO_DECODE(JoinMessage)
    KRAYLO_DECODE(BindRequestMessage)
    KRAYLO_DECODE(BindMessage)
    KRAYLO_DECODE(ProbeMessage)
    KRAYLO_DECODE(RegisteredMessage)
    KRAYLO_DECODE(KeptMessage)
    KRAYLO_DECODE(JoinedMessage)
    KRAYLO_DECODE(IntroductionMessage)
    KRAYLO_DECODE(ChallengeMessage)
    KRAYLO_DECODE(BoundMessage)
    KRAYLO_DECODE(RefusedMessage)
#undef KRAYLO_DECODE
    default:
      return MalformedMessage{};
  }
}

uint64_t BindProof(const HashKey& token, uint64_t challenge, uint64_t game, MeetingRole role) {
  std::array<uint8_t, 17> bytes{};
  for (size_t i = 0; i < 8; ++i) {
    bytes[i] = static_cast<uint8_t>(challenge >> (8 * i));
    bytes[8 + i] = static_cast<uint8_t>(game >> (8 * i));
  }
  bytes[16] = static_cast<uint8_t>(role);
  return SipHash(token, bytes);
}

}  // namespace kraylo
