// A game's side of the meeting, as a state machine without sockets: it takes the datagrams the
// game's socket received for it and the time, and gives back datagrams to send and events. The game
// drives it through ENet's own socket, so that the NAT mapping the service sees is the game's.
// A joiner or a spectator has one link to the host; the host has one to its player and one to each
// spectator met through its room.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "meeting/link_path.h"
#include "meeting/messages.h"
#include "meeting/stun.h"

namespace kraylo {

// How long a side waits for the service before it says it does not answer (seconds).
inline constexpr double kServiceAnswerWait = 4.5;
// The links a host keeps at most: its player and the spectators the game lets in.
inline constexpr size_t kMostLinks = 9;

// What the game tells its side of the meeting. (in)
struct MeetingSetup {
  Endpoint service;                             // the meeting port; the echo port is the next one
  std::string service_name;                     // "HOST[:PORT]" as configured, for the messages
  Offer offer;                                  // the game's version, field and its own candidates
  uint16_t keep_seconds = kDefaultKeepSeconds;  // the game's reconnection limit (seconds)
  uint64_t seed = 0;                            // randomness for transactions and probes
};

struct MeetingSend {
  Endpoint to;
  std::vector<uint8_t> bytes;
};

// The host's room exists: show its code.
struct CodeGivenEvent {
  RoomCode code;
};
// The other side of game `game` is known (for the host: a player or a spectator, by `role`): the
// addresses it may be reached at (its own and the one the service saw).
struct PeerFoundEvent {
  Endpoint seen;
  Candidates candidates;
  uint64_t game = 0;
  MeetingRole role = MeetingRole::kHost;
};
// The path that carries game `game`: where ENet reaches the other side (its address, or the relay
// port that stands for it). Given again after a rebinding.
struct PathChosenEvent {
  PathKind kind = PathKind::kDirect;
  Endpoint peer;
  uint64_t game = 0;
  MeetingRole role = MeetingRole::kHost;  // the other side's
};
enum class MeetingFailure {
  kNoAnswer,      // the service does not answer, or UDP is blocked
  kRefused,       // the service refused (the message says why)
  kOtherVersion,  // the service speaks another meeting version
};
struct MeetingFailedEvent {
  MeetingFailure failure = MeetingFailure::kNoAnswer;
  std::string message;  // for the player, as it is
};
using MeetingEvent =
    std::variant<CodeGivenEvent, PeerFoundEvent, PathChosenEvent, MeetingFailedEvent>;

class MeetingClient {
 public:
  // A host's side: finds how its NAT maps, registers a room, keeps it alive, meets its player and
  // its spectators.
  static MeetingClient ForHost(const MeetingSetup& setup, double now);
  // A joiner's side: the same, then joins the room of `code` as its player.
  static MeetingClient ForJoiner(const MeetingSetup& setup, RoomCode code, double now);
  // A spectator's side: joins the room of `code` to watch.
  static MeetingClient ForWatcher(const MeetingSetup& setup, RoomCode code, double now);

  // A datagram for which Intercepts() held, from `from`, at `now` (seconds).
  void Receive(Endpoint from, std::span<const uint8_t> bytes, double now);
  // Time passes: resends, keep-alives, the path's choice, deadlines.
  void Advance(double now);
  // A relayed path broke (a new address of this side, or a restarted service): every relayed
  // link binds again.
  void Rebind(double now);
  // An address more where this side may be reached (a port the router opened), offered from the
  // next keep-alive on; a side that hides its address offers none.
  void AddCandidate(Endpoint candidate);

  std::vector<MeetingSend> TakeSends();
  std::vector<MeetingEvent> TakeEvents();

  // Whether a datagram is the meeting's (ours or a STUN answer), not ENet's.
  static bool Intercepts(std::span<const uint8_t> bytes);

 private:
  // With the service: how the NAT maps, then the room asked for, then (the host) kept.
  enum class Phase { kDiscovering, kAsking, kMet, kFailed };
  // With the other side of one game: every candidate tried, then the relay bound and proved.
  enum class LinkPhase { kProbing, kBinding, kProving, kChosen };
  struct Link {
    uint64_t game = 0;
    HashKey token{};
    MeetingRole peer_role = MeetingRole::kHost;
    Endpoint peer_seen;
    Candidates peer_candidates;
    uint32_t probe_nonce = 0;
    PathFacts path;
    LinkPhase phase = LinkPhase::kProbing;
    double phase_started = 0;  // seconds
    double next_send = 0;      // of the phase's datagram
    uint64_t challenge = 0;
    Endpoint bind_to;  // where binding goes: the meeting port, then the relay port sent to
    PathKind chosen = PathKind::kUndecided;
  };

  MeetingClient(const MeetingSetup& setup, MeetingRole role, RoomCode code, double now);
  void Send(Endpoint to, const MeetingMessage& message);
  void Fail(MeetingFailure failure, std::string message);
  void Ask(double now);
  void Met(Endpoint peer_seen, const Offer& peer_offer, uint64_t game, const HashKey& token,
           MeetingRole peer_role, double now);
  void Discover();
  // One link's part of Advance: false when it is given up (its service does not answer).
  bool AdvanceLink(Link& link, double now);
  void Probe(const Link& link);
  void Enter(Link& link, LinkPhase phase, double now);
  void Choose(Link& link, double now);
  void ReceiveMessage(Endpoint from, const MeetingMessage& message, double now);
  void ReceiveProbe(Endpoint from, const ProbeMessage& probe);
  void ReceiveFromService(const MeetingMessage& message, double now);
  Link* FindLink(uint64_t game);
  std::string NoAnswerText() const;
  uint64_t Random();

  MeetingSetup setup_;
  MeetingRole role_;
  RoomCode code_;
  Phase phase_ = Phase::kDiscovering;
  double phase_started_ = 0;  // seconds
  double next_send_ = 0;      // of the phase's request
  double next_keep_ = 0;      // of the host's keep-alive
  uint64_t random_state_;
  StunTransaction stun_[2]{};             // to the meeting port and the echo port
  std::optional<Endpoint> stun_seen_[2];  // what each reported
  bool own_port_varies_ = false;
  HashKey room_token_{};
  std::vector<Link> links_;
  std::vector<MeetingSend> sends_;
  std::vector<MeetingEvent> events_;
};

}  // namespace kraylo
