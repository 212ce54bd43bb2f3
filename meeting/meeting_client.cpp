// With the service, in order: discovering (STUN to both service ports: does the NAT give a new
// port per destination?), asking (register or join), met (the host keeps its room alive). Each
// link to another side: probing every candidate, then either chosen at once (direct) or binding
// to the relay and proving the token.
#include "meeting/meeting_client.h"

#include <algorithm>
#include <utility>

namespace kraylo {
namespace {

constexpr double kResendSeconds = 0.5;
constexpr double kDiscoverySeconds = 1.0;  // at most, before asking anyway
constexpr double kKeepAliveSeconds = 5.0;  // a room dies 15 s after the last
constexpr double kProbeSeconds = 0.2;

std::string RefusalText(MeetingRefusal reason, RoomCode code) {
  const std::string shown = FormatRoomCode(code);
  switch (reason) {
    case MeetingRefusal::kNoSuchCode:
      return "No game has the code " + shown;
    case MeetingRefusal::kHasPlayer:
      return "The game of code " + shown + " already has its player";
    case MeetingRefusal::kGameVersion:
      return "The game of code " + shown + " is of another version of Kraylo";
    case MeetingRefusal::kFieldSize:
      return "The game of code " + shown + " is played on a field of another size";
    case MeetingRefusal::kBadToken:
      return "The meeting service did not take this game's token";
    case MeetingRefusal::kTooMany:
      return "The meeting service has as many games as it takes; try again later";
    case MeetingRefusal::kSlowDown:
      return "The meeting service asks to slow down; try again in a minute";
    case MeetingRefusal::kWatchersFull:
      return "The game of code " + shown + " has as many spectators as it lets watch";
    case MeetingRefusal::kOtherMeetingVersion:
      break;
  }
  return "The meeting service speaks another version of Kraylo's meeting";
}

}  // namespace

MeetingClient::MeetingClient(const MeetingSetup& setup, MeetingRole role, RoomCode code, double now)
    : setup_(setup), role_(role), code_(code), random_state_(setup.seed) {
  for (StunTransaction& transaction : stun_) {
    for (uint8_t& byte : transaction) byte = static_cast<uint8_t>(Random());
  }
  phase_started_ = next_send_ = now;
  Advance(now);
}

MeetingClient MeetingClient::ForHost(const MeetingSetup& setup, double now) {
  return {setup, MeetingRole::kHost, RoomCode{}, now};
}

MeetingClient MeetingClient::ForJoiner(const MeetingSetup& setup, RoomCode code, double now) {
  return {setup, MeetingRole::kPlayer, code, now};
}

MeetingClient MeetingClient::ForWatcher(const MeetingSetup& setup, RoomCode code, double now) {
  return {setup, MeetingRole::kWatcher, code, now};
}

bool MeetingClient::Intercepts(std::span<const uint8_t> bytes) {
  return IsMeetingDatagram(bytes) || IsStunAnswer(bytes);
}

uint64_t MeetingClient::Random() {
  // splitmix64: the game seeds it; nothing here needs more than unpredictability to strangers.
  uint64_t z = (random_state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void MeetingClient::Send(Endpoint to, const MeetingMessage& message) {
  const MeetingBytes bytes = EncodeMeeting(message);
  sends_.push_back({to, {bytes.data.begin(), bytes.data.begin() + static_cast<long>(bytes.size)}});
}

void MeetingClient::Fail(MeetingFailure failure, std::string message) {
  phase_ = Phase::kFailed;
  events_.emplace_back(MeetingFailedEvent{failure, std::move(message)});
}

MeetingClient::Link* MeetingClient::FindLink(uint64_t game) {
  const auto found = std::find_if(links_.begin(), links_.end(),
                                  [game](const Link& link) { return link.game == game; });
  return found == links_.end() ? nullptr : &*found;
}

void MeetingClient::Ask(double now) {
  Offer offer = setup_.offer;
  offer.port_varies = stun_seen_[0] && stun_seen_[1] && stun_seen_[0]->port != stun_seen_[1]->port;
  own_port_varies_ = offer.port_varies != 0;
  if (offer.hides_address != 0) offer.candidates = {};
  if (role_ == MeetingRole::kHost && phase_ == Phase::kAsking) {
    Send(setup_.service, RegisterMessage{offer});
  } else if (role_ == MeetingRole::kHost) {
    Send(setup_.service, KeepAliveMessage{code_, room_token_, offer});
    next_keep_ = now + kKeepAliveSeconds;
  } else {
    Send(setup_.service, JoinMessage{code_, role_, offer});
  }
}

void MeetingClient::Met(Endpoint peer_seen, const Offer& peer_offer, uint64_t game,
                        const HashKey& token, MeetingRole peer_role, double now) {
  // The same introduction again (its answer was lost on the way), or one more than a host serves.
  if (FindLink(game) != nullptr || links_.size() >= kMostLinks) return;
  Link link;
  link.game = game;
  link.token = token;
  link.peer_role = peer_role;
  link.peer_seen = peer_seen;
  link.peer_candidates = peer_offer.candidates;
  link.probe_nonce = static_cast<uint32_t>(Random());
  link.path.started = now;
  link.path.own_port_varies = own_port_varies_;
  link.path.peer_port_varies = peer_offer.port_varies != 0;
  link.path.address_hidden = setup_.offer.hides_address != 0 || peer_offer.hides_address != 0;
  link.bind_to = setup_.service;
  Enter(link, LinkPhase::kProbing, now);
  links_.push_back(link);
  events_.emplace_back(PeerFoundEvent{peer_seen, peer_offer.candidates, game, peer_role});
}

void MeetingClient::Enter(Link& link, LinkPhase phase, double now) {
  link.phase = phase;
  link.phase_started = now;
  link.next_send = now;
}

void MeetingClient::Probe(const Link& link) {
  // A probe would tell the other side where this one is.
  if (link.path.address_hidden) return;
  const ProbeMessage probe{link.game, role_, 0, link.probe_nonce};
  if (link.peer_seen.address != 0) Send(link.peer_seen, probe);
  for (size_t i = 0; i < link.peer_candidates.count; ++i) {
    const Endpoint candidate = link.peer_candidates.endpoints[i];
    if (candidate.address != 0 && !(candidate == link.peer_seen)) Send(candidate, probe);
  }
}

void MeetingClient::Choose(Link& link, double now) {
  switch (ChoosePath(link.path, now)) {
    case PathKind::kUndecided:
      return;
    case PathKind::kDirect:
      link.phase = LinkPhase::kChosen;
      link.chosen = PathKind::kDirect;
      events_.emplace_back(
          PathChosenEvent{PathKind::kDirect, *link.path.answered, link.game, link.peer_role});
      return;
    case PathKind::kRelayed:
      Enter(link, LinkPhase::kBinding, now);
      return;
  }
}

void MeetingClient::Rebind(double now) {
  for (Link& link : links_) {
    if (link.phase != LinkPhase::kChosen || link.chosen != PathKind::kRelayed) continue;
    // The meeting port first: a restarted service opens the relay ports again only then.
    link.bind_to = setup_.service;
    Enter(link, LinkPhase::kBinding, now);
  }
}

void MeetingClient::AddCandidate(Endpoint candidate) { setup_.offer.candidates.Add(candidate); }

void MeetingClient::Discover() {
  const Endpoint echo{setup_.service.address, static_cast<uint16_t>(setup_.service.port + 1)};
  const Endpoint ports[2] = {setup_.service, echo};
  for (int i = 0; i < 2; ++i) {
    if (stun_seen_[i]) continue;
    const auto request = StunRequest(stun_[i]);
    sends_.push_back({ports[i], {request.begin(), request.end()}});
  }
}

std::string MeetingClient::NoAnswerText() const {
  return "The meeting service " + setup_.service_name +
         " does not answer, or this network blocks UDP";
}

void MeetingClient::Advance(double now) {
  if (phase_ == Phase::kFailed) return;
  const bool asking = phase_ == Phase::kDiscovering || phase_ == Phase::kAsking;
  if (asking && now - phase_started_ >= kServiceAnswerWait) {
    return Fail(MeetingFailure::kNoAnswer, NoAnswerText());
  }
  if (phase_ == Phase::kDiscovering &&
      ((stun_seen_[0] && stun_seen_[1]) || now - phase_started_ >= kDiscoverySeconds)) {
    // The ask keeps the discovery's start: the wait for the service counts from the first try.
    phase_ = Phase::kAsking;
    next_send_ = now;
  }
  if (role_ == MeetingRole::kHost && phase_ == Phase::kMet && now >= next_keep_) Ask(now);
  if (asking && now >= next_send_) {
    if (phase_ == Phase::kDiscovering) {
      Discover();
    } else {
      Ask(now);
    }
    next_send_ = now + kResendSeconds;
  }
  for (auto link = links_.begin(); link != links_.end();) {
    if (AdvanceLink(*link, now)) {
      ++link;
    } else if (role_ != MeetingRole::kHost) {
      return Fail(MeetingFailure::kNoAnswer, NoAnswerText());
    } else {
      // The host gives up on that one side alone; the others play on.
      link = links_.erase(link);
    }
  }
}

bool MeetingClient::AdvanceLink(Link& link, double now) {
  const bool binding = link.phase == LinkPhase::kBinding || link.phase == LinkPhase::kProving;
  if (binding && now - link.phase_started >= kServiceAnswerWait) return false;
  if (link.phase == LinkPhase::kProbing) Choose(link, now);
  if (now < link.next_send) return true;
  switch (link.phase) {
    case LinkPhase::kProbing:
      Probe(link);
      link.next_send = now + kProbeSeconds;
      break;
    case LinkPhase::kBinding:
      Send(link.bind_to, BindRequestMessage{link.game, role_});
      link.next_send = now + kResendSeconds;
      break;
    case LinkPhase::kProving:
      Send(link.bind_to, BindMessage{link.game, role_, link.challenge,
                                     BindProof(link.token, link.challenge, link.game, role_),
                                     setup_.keep_seconds});
      link.next_send = now + kResendSeconds;
      break;
    case LinkPhase::kChosen:
      break;
  }
  return true;
}

void MeetingClient::Receive(Endpoint from, std::span<const uint8_t> bytes, double now) {
  if (phase_ == Phase::kFailed) return;
  if (IsStunAnswer(bytes)) {
    for (int i = 0; i < 2; ++i) {
      if (const auto seen = ReadStunAnswer(bytes, stun_[i])) stun_seen_[i] = seen;
    }
  } else {
    ReceiveMessage(from, DecodeMeeting(bytes), now);
  }
  Advance(now);
}

void MeetingClient::ReceiveMessage(Endpoint from, const MeetingMessage& message, double now) {
  if (const auto* probe = std::get_if<ProbeMessage>(&message)) return ReceiveProbe(from, *probe);
  // Everything else comes from the service: its meeting port, or a relay port bound at.
  const bool from_service =
      from == setup_.service || std::any_of(links_.begin(), links_.end(),
                                            [&](const Link& link) { return from == link.bind_to; });
  if (from_service) ReceiveFromService(message, now);
}

void MeetingClient::ReceiveProbe(Endpoint from, const ProbeMessage& probe) {
  // From the other side of a link only, on any path; an echo goes back to where the probe came
  // from.
  Link* link = FindLink(probe.game);
  if (link == nullptr || probe.role != link->peer_role) return;
  if (probe.answer != 0) {
    if (probe.nonce == link->probe_nonce && !link->path.answered) link->path.answered = from;
    return;
  }
  link->path.heard_probe = true;
  Send(from, ProbeMessage{link->game, role_, 1, probe.nonce});
  // Where the other side's NAT sent it from, towards this side: a NAT with a new port per
  // destination is reached there, not at the port the service saw.
  const auto& known = link->peer_candidates.endpoints;
  const auto end = known.begin() + link->peer_candidates.count;
  if (!(from == link->peer_seen) && std::find(known.begin(), end, from) == end) {
    link->peer_candidates.Add(from);
  }
}

void MeetingClient::ReceiveFromService(const MeetingMessage& message, double now) {
  const bool host = role_ == MeetingRole::kHost;
  if (std::holds_alternative<OtherVersionMessage>(message)) {
    Fail(MeetingFailure::kOtherVersion, RefusalText(MeetingRefusal::kOtherMeetingVersion, code_));
  } else if (const auto* refused = std::get_if<RefusedMessage>(&message)) {
    // A refused keep-alive, or a host's binding for one side, changes nothing for the game; a
    // joiner's before its way is chosen ends its meeting.
    const bool chosen = !links_.empty() && links_.front().phase == LinkPhase::kChosen;
    if (phase_ != Phase::kMet || (!host && !chosen)) {
      Fail(MeetingFailure::kRefused, RefusalText(refused->reason, code_));
    }
  } else if (const auto* registered = std::get_if<RegisteredMessage>(&message)) {
    if (phase_ != Phase::kAsking || !host) return;
    code_ = registered->code;
    room_token_ = registered->room_token;
    events_.emplace_back(CodeGivenEvent{code_});
    phase_ = Phase::kMet;
    next_keep_ = now + kKeepAliveSeconds;
  } else if (const auto* introduction = std::get_if<IntroductionMessage>(&message)) {
    if (phase_ == Phase::kMet && host) {
      Met(introduction->peer, introduction->peer_offer, introduction->game, introduction->token,
          introduction->role, now);
    }
  } else if (const auto* joined = std::get_if<JoinedMessage>(&message)) {
    if (phase_ != Phase::kAsking || host) return;
    phase_ = Phase::kMet;
    Met(joined->peer, joined->peer_offer, joined->game, joined->token, MeetingRole::kHost, now);
  } else if (const auto* challenge = std::get_if<ChallengeMessage>(&message)) {
    Link* link = FindLink(challenge->game);
    if (link != nullptr && link->phase == LinkPhase::kBinding) {
      link->challenge = challenge->challenge;
      Enter(*link, LinkPhase::kProving, now);
    }
  } else if (const auto* bound = std::get_if<BoundMessage>(&message)) {
    Link* link = FindLink(bound->game);
    if (link == nullptr || link->phase != LinkPhase::kProving) return;
    const Endpoint peer{setup_.service.address, bound->peer_port};
    if (!(link->bind_to == peer)) {
      // Bound through the meeting port: once more through the port the game will send to, where
      // this side's NAT may well give it another port.
      link->bind_to = peer;
      Enter(*link, LinkPhase::kBinding, now);
    } else {
      link->phase = LinkPhase::kChosen;
      link->chosen = PathKind::kRelayed;
      events_.emplace_back(PathChosenEvent{PathKind::kRelayed, peer, link->game, link->peer_role});
    }
  }
}

std::vector<MeetingSend> MeetingClient::TakeSends() { return std::exchange(sends_, {}); }
std::vector<MeetingEvent> MeetingClient::TakeEvents() { return std::exchange(events_, {}); }

}  // namespace kraylo
