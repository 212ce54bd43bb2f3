// The datagrams of the meeting service and its clients, as bytes and back. Every one starts with a
// word ENet never sends (peer 4094 with no flags: no host of ours has that many peers), so that the
// game can take ours out of ENet's socket; then a magic, the meeting version and a type; it ends
// with a CRC32 of everything before. Every kind has one fixed size, and a request is padded so that
// everything the service sends because of it is no larger: the service cannot be used to amplify.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "meeting/endpoint.h"
#include "meeting/keyed_hash.h"
#include "meeting/room_code.h"

namespace kraylo {

// Raised by a change to these datagrams.
inline constexpr uint8_t kMeetingVersion = 1;
// The service's ports: rooms, introductions and relay binding; and the address echo (STUN).
inline constexpr uint16_t kMeetingPort = 27911;
inline constexpr uint16_t kEchoPort = 27912;
// The most candidate addresses a side offers.
inline constexpr size_t kMostCandidates = 4;
// No datagram of the meeting is longer (bytes).
inline constexpr size_t kMaxMeetingBytes = 192;
// How long the relay keeps a game whose side has gone quiet (seconds): each game sends its own
// reconnection limit, which must lie within these.
inline constexpr uint16_t kFewestKeepSeconds = 1;
inline constexpr uint16_t kMostKeepSeconds = 600;
inline constexpr uint16_t kDefaultKeepSeconds = 60;

// Where a side may be reached, best first; count of them used.
struct Candidates {
  std::array<Endpoint, kMostCandidates> endpoints{};
  uint8_t count = 0;
  // Adds `endpoint` after the others while there is room.
  void Add(Endpoint endpoint) {
    if (count < kMostCandidates) endpoints[count++] = endpoint;
  }
};

// What a side says of itself when it registers or joins.
struct Offer {
  uint16_t game_version = 0;  // the game's protocol version
  int32_t width = 0;          // the field, pixels
  int32_t height = 0;         // pixels
  // The side's NAT gives a new port per destination (the echo port saw another port than the
  // meeting port): hole punching towards such a side rarely works.
  uint8_t port_varies = 0;
  // The side hides its address: the service tells the other side none, the side offers no
  // candidates, and the game goes through the relay.
  uint8_t hides_address = 0;
  Candidates candidates;  // the side's own (LAN, mapped) addresses
};

// Who a side is in a game: the host, its player, and (later) those who watch.
enum class MeetingRole : uint8_t { kHost = 0, kPlayer = 1, kWatcher = 2 };

// Host to service: a room, please.
struct RegisterMessage {
  Offer offer;
};
// Host to service, every few seconds (a room dies 15 s after the last): the room lives on. Carries
// the whole room, so that a restarted service takes it back on the token's word.
struct KeepAliveMessage {
  RoomCode code;
  HashKey room_token{};
  Offer offer;
};
// Joiner to service: the room of this code, please.
struct JoinMessage {
  RoomCode code;
  MeetingRole role = MeetingRole::kPlayer;
  Offer offer;
};
// A side to service: I would bind to the relay; a challenge, please.
struct BindRequestMessage {
  uint64_t game = 0;
  MeetingRole role = MeetingRole::kHost;
};
// A side to service: the proof that it holds the game's token for its role.
struct BindMessage {
  uint64_t game = 0;
  MeetingRole role = MeetingRole::kHost;
  uint64_t challenge = 0;
  uint64_t proof = 0;  // SipHash under the token of the challenge, game and role
  uint16_t keep_seconds = kDefaultKeepSeconds;  // how long the relay waits for a side gone quiet
};
// Side to side, on every candidate at once: is this path open? Answered with an echo to where it
// came from.
struct ProbeMessage {
  uint64_t game = 0;
  MeetingRole role = MeetingRole::kHost;  // the sender's
  uint8_t answer = 0;                     // 1: the echo of the other side's probe
  uint32_t nonce = 0;
};

// Service to host: its room.
struct RegisteredMessage {
  RoomCode code;
  HashKey room_token{};
  Endpoint seen;  // the host's address as the service saw it
};
// Service to host: the room lives on.
struct KeptMessage {
  RoomCode code;
  Endpoint seen;
};
// Service to joiner: the host's offer and what to bind to the relay with.
struct JoinedMessage {
  uint64_t game = 0;
  HashKey token{};
  Endpoint seen;     // the joiner's address as the service saw it
  Endpoint peer;     // the host's, as the service saw it
  Offer peer_offer;  // the host's
};
// Service to host: a player has joined; its offer and the host's token for the relay.
struct IntroductionMessage {
  uint64_t game = 0;
  HashKey token{};
  MeetingRole role = MeetingRole::kPlayer;  // the joiner's
  Endpoint peer;                            // the joiner's address as the service saw it
  Offer peer_offer;
};
struct ChallengeMessage {
  uint64_t game = 0;
  uint64_t challenge = 0;  // good for about a minute, from this address only
};
// Service to a side: bound; the relay port that stands for this side, and the one to send to.
struct BoundMessage {
  uint64_t game = 0;
  uint16_t own_port = 0;
  uint16_t peer_port = 0;
};

enum class MeetingRefusal : uint8_t {
  kNoSuchCode = 1,           // no room has this code (never had, or its host stopped)
  kHasPlayer = 2,            // the room's game has its player
  kGameVersion = 3,          // the host plays another version of the game
  kFieldSize = 4,            // the host's field is of another size
  kBadToken = 5,             // the proof or the challenge does not hold
  kTooMany = 6,              // a cap: rooms or games of this address, or of the service
  kSlowDown = 7,             // too many requests from this address
  kOtherMeetingVersion = 8,  // the service speaks another meeting version
  kWatchersFull = 9,         // the room's game has as many spectators as it lets watch
};
struct RefusedMessage {
  MeetingRefusal reason = MeetingRefusal::kNoSuchCode;
  uint8_t version = kMeetingVersion;  // the service's meeting version
};

// Bytes that are not one of our datagrams; or ours with a version this build does not read.
struct MalformedMessage {};
struct OtherVersionMessage {
  uint8_t version = 0;
};

using MeetingMessage =
    std::variant<RegisterMessage, KeepAliveMessage, JoinMessage, BindRequestMessage, BindMessage,
                 ProbeMessage, RegisteredMessage, KeptMessage, JoinedMessage, IntroductionMessage,
                 ChallengeMessage, BoundMessage, RefusedMessage, MalformedMessage,
                 OtherVersionMessage>;

// A datagram's bytes, in a buffer of fixed size.
struct MeetingBytes {
  std::array<uint8_t, kMaxMeetingBytes> data{};
  size_t size = 0;
  std::span<const uint8_t> bytes() const { return {data.data(), size}; }
};

// The bytes of a message, padded to its kind's size (MalformedMessage and OtherVersionMessage
// have none: size 0). `version` other than ours only for tests.
MeetingBytes EncodeMeeting(const MeetingMessage& message, uint8_t version = kMeetingVersion);

// Reads one datagram; never reads outside `bytes`.
MeetingMessage DecodeMeeting(std::span<const uint8_t> bytes);

// Whether a datagram starts as ours do (the word ENet never sends, and our magic): the game's
// socket hands such datagrams to the meeting client, the rest to ENet.
bool IsMeetingDatagram(std::span<const uint8_t> bytes);

// The fixed size of a message's kind on the wire (bytes).
size_t MeetingSize(const MeetingMessage& message);

// What a bind proves its token with: SipHash under the token of the challenge, game and role.
uint64_t BindProof(const HashKey& token, uint64_t challenge, uint64_t game, MeetingRole role);

}  // namespace kraylo
