// The phases, in order: discovering (STUN to both service ports: does the NAT give a new port per
// destination?), asking (register or join), waiting (the host, for a player), probing every
// candidate, then either chosen at once (direct) or binding to the relay and proving the token.
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
    case MeetingRefusal::kNoWatching:
      return "The meeting service does not let anyone watch a game yet";
    case MeetingRefusal::kOtherMeetingVersion:
      break;
  }
  return "The meeting service speaks another version of Kraylo's meeting";
}

}  // namespace

MeetingClient::MeetingClient(const MeetingSetup& setup, MeetingRole role, RoomCode code, double now)
    : setup_(setup), role_(role), code_(code), random_state_(setup.seed), bind_to_(setup.service) {
  for (StunTransaction& transaction : stun_) {
    for (uint8_t& byte : transaction) byte = static_cast<uint8_t>(Random());
  }
  Enter(Phase::kDiscovering, now);
  Advance(now);
}

MeetingClient MeetingClient::ForHost(const MeetingSetup& setup, double now) {
  return {setup, MeetingRole::kHost, RoomCode{}, now};
}

MeetingClient MeetingClient::ForJoiner(const MeetingSetup& setup, RoomCode code, double now) {
  return {setup, MeetingRole::kPlayer, code, now};
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

void MeetingClient::Enter(Phase phase, double now) {
  phase_ = phase;
  phase_started_ = now;
  next_send_ = now;
}

void MeetingClient::Ask(double now) {
  Offer offer = setup_.offer;
  offer.port_varies = stun_seen_[0] && stun_seen_[1] && stun_seen_[0]->port != stun_seen_[1]->port;
  path_.own_port_varies = offer.port_varies != 0;
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
                        const HashKey& token, double now) {
  game_ = game;
  token_ = token;
  peer_seen_ = peer_seen;
  peer_candidates_ = peer_offer.candidates;
  probe_nonce_ = static_cast<uint32_t>(Random());
  path_.started = now;
  path_.peer_port_varies = peer_offer.port_varies != 0;
  path_.address_hidden = setup_.offer.hides_address != 0 || peer_offer.hides_address != 0;
  events_.emplace_back(PeerFoundEvent{peer_seen, peer_offer.candidates});
  Enter(Phase::kProbing, now);
}

void MeetingClient::Probe() {
  // A probe would tell the other side where this one is.
  if (path_.address_hidden) return;
  const ProbeMessage probe{game_, role_, 0, probe_nonce_};
  if (peer_seen_.address != 0) Send(peer_seen_, probe);
  for (size_t i = 0; i < peer_candidates_.count; ++i) {
    const Endpoint candidate = peer_candidates_.endpoints[i];
    if (candidate.address != 0 && !(candidate == peer_seen_)) Send(candidate, probe);
  }
}

void MeetingClient::Choose(double now) {
  switch (ChoosePath(path_, now)) {
    case PathKind::kUndecided:
      return;
    case PathKind::kDirect:
      phase_ = Phase::kChosen;
      events_.emplace_back(PathChosenEvent{PathKind::kDirect, *path_.answered});
      return;
    case PathKind::kRelayed:
      Enter(Phase::kBinding, now);
      return;
  }
}

void MeetingClient::Rebind(double now) {
  if (phase_ != Phase::kChosen || game_ == 0) return;
  // The meeting port first: a restarted service opens the relay ports again only then.
  bind_to_ = setup_.service;
  Enter(Phase::kBinding, now);
}

void MeetingClient::AddCandidate(Endpoint candidate) { setup_.offer.candidates.Add(candidate); }

void MeetingClient::Advance(double now) {
  const bool asking_service = phase_ == Phase::kDiscovering || phase_ == Phase::kAsking ||
                              phase_ == Phase::kBinding || phase_ == Phase::kProving;
  if (asking_service && now - phase_started_ >= kServiceAnswerWait) {
    Fail(MeetingFailure::kNoAnswer, "The meeting service " + setup_.service_name +
                                        " does not answer, or this network blocks UDP");
    return;
  }
  if (phase_ == Phase::kDiscovering &&
      ((stun_seen_[0] && stun_seen_[1]) || now - phase_started_ >= kDiscoverySeconds)) {
    // The ask keeps the discovery's start: the wait for the service counts from the first try.
    phase_ = Phase::kAsking;
    next_send_ = now;
  }
  if (role_ == MeetingRole::kHost && phase_ != Phase::kFailed && phase_ > Phase::kAsking &&
      now >= next_keep_) {
    Ask(now);
  }
  if (phase_ == Phase::kProbing) Choose(now);
  if (now < next_send_) return;
  switch (phase_) {
    case Phase::kDiscovering: {
      const Endpoint echo{setup_.service.address, static_cast<uint16_t>(setup_.service.port + 1)};
      const Endpoint ports[2] = {setup_.service, echo};
      for (int i = 0; i < 2; ++i) {
        if (stun_seen_[i]) continue;
        const auto request = StunRequest(stun_[i]);
        sends_.push_back({ports[i], {request.begin(), request.end()}});
      }
      break;
    }
    case Phase::kAsking:
      Ask(now);
      break;
    case Phase::kProbing:
      Probe();
      next_send_ = now + kProbeSeconds;
      return;
    case Phase::kBinding:
      Send(bind_to_, BindRequestMessage{game_, role_});
      break;
    case Phase::kProving:
      Send(bind_to_, BindMessage{game_, role_, challenge_,
                                 BindProof(token_, challenge_, game_, role_), setup_.keep_seconds});
      break;
    case Phase::kWaiting:
    case Phase::kChosen:
    case Phase::kFailed:
      return;
  }
  next_send_ = now + kResendSeconds;
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
  if (const auto* probe = std::get_if<ProbeMessage>(&message)) {
    // From the other side only, on any path; an echo goes back to where the probe came from.
    if (game_ == 0 || probe->game != game_ || probe->role == role_) return;
    if (probe->answer == 0) {
      path_.heard_probe = true;
      Send(from, ProbeMessage{game_, role_, 1, probe->nonce});
      // Where the other side's NAT sent it from, towards this side: a NAT with a new port per
      // destination is reached there, not at the port the service saw.
      const auto& known = peer_candidates_.endpoints;
      if (!(from == peer_seen_) &&
          std::find(known.begin(), known.begin() + peer_candidates_.count, from) ==
              known.begin() + peer_candidates_.count) {
        peer_candidates_.Add(from);
      }
    } else if (probe->nonce == probe_nonce_ && !path_.answered) {
      path_.answered = from;
    }
    return;
  }
  // Everything else comes from the service: its meeting port, or the relay port bound at.
  if (!(from == setup_.service) && !(from == bind_to_)) return;
  if (std::holds_alternative<OtherVersionMessage>(message)) {
    Fail(MeetingFailure::kOtherVersion, RefusalText(MeetingRefusal::kOtherMeetingVersion, code_));
  } else if (const auto* refused = std::get_if<RefusedMessage>(&message)) {
    // A refused keep-alive once the game is on changes nothing for the game.
    if (phase_ != Phase::kChosen) {
      Fail(MeetingFailure::kRefused, RefusalText(refused->reason, code_));
    }
  } else if (const auto* registered = std::get_if<RegisteredMessage>(&message)) {
    if (phase_ != Phase::kAsking || role_ != MeetingRole::kHost) return;
    code_ = registered->code;
    room_token_ = registered->room_token;
    events_.emplace_back(CodeGivenEvent{code_});
    Enter(Phase::kWaiting, now);
    next_keep_ = now + kKeepAliveSeconds;
  } else if (const auto* introduction = std::get_if<IntroductionMessage>(&message)) {
    if (phase_ == Phase::kWaiting && role_ == MeetingRole::kHost) {
      Met(introduction->peer, introduction->peer_offer, introduction->game, introduction->token,
          now);
    }
  } else if (const auto* joined = std::get_if<JoinedMessage>(&message)) {
    if (phase_ == Phase::kAsking && role_ != MeetingRole::kHost) {
      Met(joined->peer, joined->peer_offer, joined->game, joined->token, now);
    }
  } else if (const auto* challenge = std::get_if<ChallengeMessage>(&message)) {
    if (phase_ == Phase::kBinding && challenge->game == game_) {
      challenge_ = challenge->challenge;
      Enter(Phase::kProving, now);
    }
  } else if (const auto* bound = std::get_if<BoundMessage>(&message)) {
    if (phase_ != Phase::kProving || bound->game != game_) return;
    const Endpoint peer{setup_.service.address, bound->peer_port};
    if (!(bind_to_ == peer)) {
      // Bound through the meeting port: once more through the port the game will send to, where
      // this side's NAT may well give it another port.
      bind_to_ = peer;
      Enter(Phase::kBinding, now);
    } else {
      phase_ = Phase::kChosen;
      events_.emplace_back(PathChosenEvent{PathKind::kRelayed, peer});
    }
  }
}

std::vector<MeetingSend> MeetingClient::TakeSends() { return std::exchange(sends_, {}); }
std::vector<MeetingEvent> MeetingClient::TakeEvents() { return std::exchange(events_, {}); }

}  // namespace kraylo
