#include "net/session.h"

#include <algorithm>
#include <string>

#include "game/state_checksum.h"
#include "platform/run_error.h"

namespace kraylo {
namespace {

// Packets go out this often while the two sides wait for the game to begin: they keep the
// connection known to be alive and measure the round trip the start is timed with (seconds).
constexpr double kWaitingPacketInterval = kTickSeconds;

int LocalBall(Role role) { return role == Role::kHost ? 1 : 2; }

// Whether `packet` belongs on `channel`: input on the unsequenced one, everything else reliable.
bool OnRightChannel(const Packet& packet, Channel channel) {
  return std::holds_alternative<InputPacket>(packet) == (channel == Channel::kInput);
}

}  // namespace

Session::Session(Transport& transport, Clock& clock, SessionSettings settings, StepFunction step)
    : transport_(transport),
      clock_(clock),
      settings_(settings),
      step_(std::move(step)),
      phase_(settings.role == Role::kHost ? Phase::kWaiting : Phase::kConnecting),
      handshake_(settings.role),
      seed_(settings.seed),
      token_(settings.token),
      reconnect_seconds_(settings.reconnect_seconds) {
  if (settings.role == Role::kHost) feed_.emplace();
  if (settings.input_delay < 0 || settings.input_delay > kMostInputDelay) {
    Raise(kErrInvalidArgument, "The input delay must be 0 to " + std::to_string(kMostInputDelay) +
                                   " ticks, not " + std::to_string(settings.input_delay));
  }
  if (settings.width < 1 || settings.height < 1) {
    Raise(kErrInvalidArgument, "A network game needs a field of at least one pixel");
  }
  if (settings.reconnect_seconds < 1 || settings.reconnect_seconds > kMostReconnectSeconds) {
    Raise(kErrInvalidArgument, "The reconnection limit must be 1 to " +
                                   std::to_string(kMostReconnectSeconds) + " seconds, not " +
                                   std::to_string(settings.reconnect_seconds));
  }
}

const GameState* Session::state() const {
  const bool ended = phase_ == Phase::kLeft || phase_ == Phase::kNotRestored;
  if (ended && confirmed_) return &confirmed_->Latest();
  return rollback_ ? &rollback_->state() : nullptr;
}

bool Session::interrupted() const {
  return phase_ == Phase::kPlaying && clock_.Seconds() - last_heard_ > kInterruptedAfter;
}

double Session::reconnect_seconds_left() const {
  if (phase_ != Phase::kReconnecting) return 0;
  return std::max(0.0, reconnect_seconds_ - (clock_.Seconds() - last_heard_));
}

std::optional<double> Session::round_trip() const {
  if (!timing_.measured()) return std::nullopt;
  return timing_.round_trip();
}

int Session::watchers() const { return feed_ ? feed_->count() : watchers_heard_; }

SessionStats Session::stats() const {
  SessionStats stats = stats_;
  stats.rollbacks = rollback_ ? rollback_->rollbacks() : 0;
  // A freeze still going on counts as it stands.
  if (stall_run_ > 1) ++stats.long_freezes;
  return stats;
}

void Session::Serve() {
  const double now = clock_.Seconds();
  TransportEvent event;
  for (int taken = 0; taken < kMostEventsPerServe && transport_.Poll(event); ++taken) {
    Handle(event, now);
  }
  CheckSilence(now);
  if (phase_ == Phase::kWaiting && handshake_.agreed() &&
      now - last_sent_ >= kWaitingPacketInterval) {
    SendInput(now);
  }
  TryStart(now);
  if (feed_) feed_->Serve(transport_, now);
  transport_.Flush();
}

void Session::Tick(Directions own) {
  Serve();
  const double now = clock_.Seconds();
  if (handshake_.PlayerReady()) SendReady();
  TryStart(now);
  const std::optional<double> start_at = handshake_.start_at();
  if (phase_ == Phase::kWaiting && start_at && now >= *start_at) Begin(now);
  if (phase_ != Phase::kPlaying) return;
  RunOrStall(own, now);
  if (phase_ == Phase::kPlaying) SendInput(now);
  CountRollbacks(now);
  transport_.Flush();
}

void Session::Quit() {
  if (peer_ && (phase_ == Phase::kWaiting || phase_ == Phase::kPlaying)) {
    SendControl(*peer_, Encode(QuitPacket{}));
    transport_.Flush();
  }
  if (peer_) transport_.Disconnect(*peer_);
  phase_ = Phase::kQuit;
  if (feed_) feed_->End(transport_);
}

void Session::Handle(const TransportEvent& event, double now) {
  using Kind = TransportEvent::Kind;
  const bool from_peer = peer_ && event.peer == *peer_;
  if (event.kind == Kind::kConnected) {
    if (settings_.role == Role::kJoin && !peer_ && phase_ == Phase::kConnecting) {
      peer_ = event.peer;
      last_heard_ = now;
      SendControl(event.peer, Encode(HelloPacket{settings_.width, settings_.height}));
    } else if (settings_.role == Role::kJoin && !peer_ && phase_ == Phase::kReconnecting) {
      // The limit still runs from the last packet of the lost connection.
      peer_ = event.peer;
      SendControl(event.peer, Encode(RejoinPacket{token_}));
    } else if (settings_.role == Role::kHost) {
      Admit(event.peer, now);
    }
    return;
  }
  const bool from_watcher = feed_ && feed_->Has(event.peer);
  if (event.kind == Kind::kDisconnected && from_watcher) {
    feed_->Remove(event.peer);
    SendWatchers();
    return;
  }
  if (event.kind == Kind::kDisconnected) {
    door_.Forget(event.peer);
    if (!from_peer) return;
    if (phase_ == Phase::kPlaying && !event.deliberate) {
      Lost(now);
    } else if (phase_ == Phase::kReconnecting) {
      // A new connection that went before the host let it back in: try again.
      peer_.reset();
      Redial(now);
    } else if (Open()) {
      Ended(Phase::kLeft);
    }
    return;
  }
  // Whatever a spectator sends, it changes nothing.
  if (from_watcher) {
    ++stats_.from_watchers;
    return;
  }
  if (event.oversized) {
    ++stats_.malformed;
    return;
  }
  const Packet packet = Decode(event.bytes());
  if (std::holds_alternative<UnknownPacket>(packet)) {
    ++stats_.unknown_type;
    return;
  }
  if (std::holds_alternative<MalformedPacket>(packet) || !OnRightChannel(packet, event.channel)) {
    ++stats_.malformed;
    return;
  }
  if (!from_peer) {
    HandleStranger(event, packet, now);
    return;
  }
  last_heard_ = now;
  HandleFromPeer(packet, now);
}

void Session::HandleStranger(const TransportEvent& event, const Packet& packet, double now) {
  using Answer = Verdict::Answer;
  const Verdict verdict =
      settings_.role == Role::kHost ? HostDoor::Judge(packet, Door()) : Verdict{};
  if (verdict.answer == Answer::kIgnore) {
    ++stats_.from_strangers;
    return;
  }
  door_.Forget(event.peer);
  switch (verdict.answer) {
    case Answer::kLetBack:
      peer_ = event.peer;
      Welcome(event.peer);
      Resume(now);
      break;
    case Answer::kChoose:
      Choose(event.peer, now);
      break;
    case Answer::kWatch:
      LetWatch(event.peer, verdict.from, now);
      break;
    case Answer::kTurnAway:
      TurnAway(event.peer, verdict.reason, verdict.their_version, verdict.their_width,
               verdict.their_height);
      break;
    case Answer::kIgnore:
      break;
  }
}

DoorState Session::Door() const {
  DoorState door;
  door.open =
      phase_ == Phase::kWaiting || phase_ == Phase::kPlaying || phase_ == Phase::kReconnecting;
  door.has_player = handshake_.agreed();
  door.reconnecting = phase_ == Phase::kReconnecting;
  door.watchers_full = !feed_ || feed_->count() >= kMostWatchers;
  door.token = token_;
  door.width = settings_.width;
  door.height = settings_.height;
  return door;
}

void Session::Admit(PeerId peer, double now) {
  if (!door_.Knock(peer, now)) transport_.Disconnect(peer);
}

void Session::LetWatch(PeerId peer, int64_t from, double now) {
  if (!feed_ || !feed_->Add(peer, from, now)) {
    TurnAway(peer, RefusalReason::kNoRoom, kProtocolVersion, 0, 0);
    return;
  }
  SendControl(peer, Encode(WatchWelcomePacket{seed_, settings_.width, settings_.height}));
  SendWatchers();
}

void Session::SendWatchers() {
  if (feed_ && peer_) {
    SendControl(*peer_, Encode(WatchersPacket{static_cast<uint8_t>(feed_->count())}));
  }
}

void Session::Choose(PeerId peer, double now) {
  peer_ = peer;
  last_heard_ = now;
  turned_away_.reset();
  Welcome(peer);
  if (handshake_.Agree(Role::kHost)) SendReady();
}

void Session::Welcome(PeerId peer) {
  SendControl(peer, Encode(WelcomePacket{seed_, settings_.width, settings_.height, 2, token_,
                                         static_cast<uint16_t>(reconnect_seconds_)}));
  SendWatchers();
}

void Session::TurnAway(PeerId peer, RefusalReason reason, uint16_t their_version, int32_t width,
                       int32_t height) {
  SendControl(peer, Encode(RefusePacket{reason, settings_.width, settings_.height}));
  transport_.Disconnect(peer);
  // Someone knocking while a game is on is no news for this side's player.
  if (reason != RefusalReason::kHasPlayer && reason != RefusalReason::kNoRoom) {
    turned_away_ = Refusal{reason, true, their_version, width, height};
  }
}

void Session::Refused(const Refusal& refusal) {
  refusal_ = refusal;
  if (peer_) transport_.Disconnect(*peer_);
  phase_ = Phase::kRefused;
  if (feed_) feed_->End(transport_);
}

void Session::HandleFromPeer(const Packet& packet, double now) {
  const bool meant = std::visit([&](const auto& body) { return On(body, now); }, packet);
  if (!meant) ++stats_.unexpected;
}

bool Session::Open() const {
  return phase_ == Phase::kConnecting || phase_ == Phase::kWaiting || phase_ == Phase::kPlaying;
}

bool Session::On(const WelcomePacket& welcome, double now) {
  if (settings_.role == Role::kJoin && phase_ == Phase::kReconnecting) {
    // Another game behind the same address (the host's program was started again) is no way back.
    if (welcome.seed == seed_ && welcome.token == token_) {
      Resume(now);
    } else {
      Ended(Phase::kLeft);
    }
    return true;
  }
  if (settings_.role != Role::kJoin || phase_ != Phase::kConnecting) return false;
  if (welcome.width != settings_.width || welcome.height != settings_.height) {
    SendControl(*peer_,
                Encode(RefusePacket{RefusalReason::kFieldSize, settings_.width, settings_.height}));
    Refused(
        Refusal{RefusalReason::kFieldSize, true, kProtocolVersion, welcome.width, welcome.height});
    return true;
  }
  seed_ = welcome.seed;
  token_ = welcome.token;
  reconnect_seconds_ = welcome.reconnect_seconds;
  last_heard_ = now;
  phase_ = Phase::kWaiting;
  if (handshake_.Agree(Role::kJoin)) SendReady();
  return true;
}

bool Session::On(const OtherVersionPacket& other, double /*now*/) {
  if (!Open()) return false;
  // The host answered in another version (or the joiner did, after a welcome).
  if (settings_.role == Role::kJoin) {
    SendControl(*peer_,
                Encode(RefusePacket{RefusalReason::kVersion, settings_.width, settings_.height}));
    Refused(Refusal{RefusalReason::kVersion, true, other.version, 0, 0});
  }
  return true;
}

bool Session::On(const RefusePacket& refuse, double /*now*/) {
  // A side refuses another version in its own, which reads as OtherVersionPacket here: a version
  // refusal in this side's own version cannot be honest, and would name one version twice.
  if (refuse.reason == RefusalReason::kVersion) return false;
  if (phase_ == Phase::kReconnecting) {
    // The host no longer knows this game.
    Ended(Phase::kLeft);
    return true;
  }
  if (!Open()) return false;
  const Refusal refusal{refuse.reason, false, kProtocolVersion, refuse.width, refuse.height};
  if (settings_.role == Role::kJoin) {
    Refused(refusal);
  } else if (phase_ == Phase::kWaiting) {
    // The joiner would not play after all: wait for another.
    turned_away_ = Refusal{refuse.reason, true, kProtocolVersion, refuse.width, refuse.height};
    transport_.Disconnect(*peer_);
    peer_.reset();
    handshake_.Disagree();
  }
  return true;
}

bool Session::On(const ReadyPacket& /*ready*/, double /*now*/) {
  return Open() && handshake_.OtherReady();
}

bool Session::On(const StartPacket& /*start*/, double now) {
  return settings_.role == Role::kJoin && phase_ == Phase::kWaiting && handshake_.StartHeard(now);
}

bool Session::On(const QuitPacket& /*quit*/, double /*now*/) {
  if (!Open()) return false;
  Ended(Phase::kLeft);
  return true;
}

bool Session::On(const DesyncPacket& desync, double /*now*/) {
  if (phase_ != Phase::kPlaying && phase_ != Phase::kOutOfStep) return false;
  OutOfStep(phase_ == Phase::kOutOfStep ? std::min(desync_tick_, desync.tick) : desync.tick);
  return true;
}

bool Session::On(const WatchersPacket& watchers, double /*now*/) {
  if (settings_.role != Role::kJoin) return false;
  watchers_heard_ = watchers.count;
  return true;
}

bool Session::On(const HelloPacket& /*hello*/, double /*now*/) { return false; }
bool Session::On(const WatchPacket& /*watch*/, double /*now*/) { return false; }
bool Session::On(const WatchWelcomePacket& /*welcome*/, double /*now*/) { return false; }
bool Session::On(const TicksPacket& /*ticks*/, double /*now*/) { return false; }
bool Session::On(const RejoinPacket& /*rejoin*/, double /*now*/) { return false; }
bool Session::On(const MalformedPacket& /*malformed*/, double /*now*/) { return false; }
bool Session::On(const UnknownPacket& /*unknown*/, double /*now*/) { return false; }

bool Session::On(const InputPacket& packet, double now) {
  // Input is the heartbeat of every open moment, so it is never unexpected.
  if (!Open()) return true;
  timing_.OnPacket(now, packet.stamp, packet.echo);
  if (phase_ != Phase::kPlaying) return true;
  Rollback& rollback = *rollback_;
  if (packet.tick > 0) timing_.OnRemoteTicks(now, packet.tick);
  // The other side cannot hold inputs this side has not made yet.
  their_ack_ = std::clamp(packet.ack, their_ack_, rollback.local_inputs());
  for (int i = 0; i < packet.count; ++i) {
    rollback.AddRemote(packet.first + i, packet.inputs[static_cast<size_t>(i)]);
  }
  rollback.Settle();
  if (packet.checked > 0) checksums_.AddTheirs(packet.checked - 1, packet.checksum);
  confirmed_->TheirsUpTo(packet.checked);
  FindDesync();
  return true;
}

void Session::OnConfirmed(int64_t tick, Directions input, const GameState& after) {
  checked_ = tick + 1;
  checked_checksum_ = StateChecksum(after.game, after.random);
  checksums_.AddOwn(tick, checked_checksum_);
  confirmed_->Add(tick, after);
  if (feed_) feed_->Confirmed(tick, input, checked_checksum_);
  if (hooks_.tick_confirmed) hooks_.tick_confirmed(tick, input, after.game, after.random);
}

void Session::CheckSilence(double now) {
  // A connection that never says hello must not keep its place.
  silent_newcomers_.clear();
  door_.TakeSilent(now, silent_newcomers_);
  for (const PeerId newcomer : silent_newcomers_) transport_.Disconnect(newcomer);
  const bool connected =
      handshake_.agreed() && (phase_ == Phase::kWaiting || phase_ == Phase::kPlaying);
  const double silence = now - last_heard_;
  if (phase_ == Phase::kReconnecting && silence > reconnect_seconds_) {
    Ended(Phase::kNotRestored);
    return;
  }
  if (phase_ == Phase::kReconnecting && !peer_ && now - last_dialed_ >= kRedialEvery) {
    Redial(now);
  }
  if (connected && silence > kGoneAfter) {
    if (phase_ == Phase::kPlaying) {
      Lost(now);
    } else {
      Ended(Phase::kLeft);
    }
  }
}

void Session::Lost(double now) {
  phase_ = Phase::kReconnecting;
  // Not a word to the old connection: the other side would take it for leaving. It times out,
  // and anything still coming over it is a stranger's.
  peer_.reset();
  Redial(now);
}

void Session::Redial(double now) {
  if (settings_.role != Role::kJoin) return;
  transport_.Redial();
  last_dialed_ = now;
}

void Session::Resume(double now) {
  phase_ = Phase::kPlaying;
  last_heard_ = now;
  // What was learnt of the other side's pace before the loss says nothing about it now.
  timing_.ForgetRemoteTicks();
  SendInput(now);
}

void Session::TryStart(double now) {
  if (settings_.role != Role::kHost || phase_ != Phase::kWaiting || !timing_.measured()) return;
  // The joiner starts when the word arrives, half a round trip from now.
  if (handshake_.StartDue(now, timing_.round_trip() / 2))
    SendControl(*peer_, Encode(StartPacket{}));
}

void Session::Begin(double now) {
  rollback_.emplace(StartingState(settings_.width, settings_.height, seed_),
                    LocalBall(settings_.role), step_);
  confirmed_.emplace(rollback_->state());
  rollback_->OnConfirmed([this](int64_t tick, Directions input, const GameState& after) {
    OnConfirmed(tick, input, after);
  });
  // The ticks before the first key can act hold no keys.
  for (int tick = 0; tick < settings_.input_delay; ++tick) rollback_->AddLocal(0);
  timing_.ForgetRemoteTicks();
  phase_ = Phase::kPlaying;
  last_heard_ = std::max(last_heard_, now);
  rate_since_ = now;
  if (hooks_.game_started) hooks_.game_started(seed_, settings_.width, settings_.height);
}

void Session::RunOrStall(Directions own, double now) {
  Rollback& rollback = *rollback_;
  const bool ahead =
      timing_.knows_remote_ticks() && timing_.Ahead(now, rollback.tick() + 1) >= kMostAhead;
  if (ahead || !rollback.WithinWindow()) {
    ++stats_.stalled_ticks;
    if (ahead) ++stats_.waits;
    ++stall_run_;
    stats_.longest_freeze = std::max(stats_.longest_freeze, stall_run_);
    return;
  }
  if (stall_run_ > 1) ++stats_.long_freezes;
  stall_run_ = 0;
  rollback.AddLocal(own);
  rollback.RunTick();
  ++stats_.ticks_run;
  FindDesync();
}

void Session::FindDesync() {
  const std::optional<int64_t> mismatch = checksums_.first_mismatch();
  if (mismatch && phase_ == Phase::kPlaying) OutOfStep(*mismatch);
}

void Session::OutOfStep(int64_t tick) {
  const bool news = phase_ != Phase::kOutOfStep;
  desync_tick_ = tick;
  phase_ = Phase::kOutOfStep;
  if (feed_) feed_->End(transport_);
  if (news && peer_) {
    SendControl(*peer_, Encode(DesyncPacket{tick}));
    transport_.Flush();
  }
}

void Session::SendReady() {
  if (peer_) SendControl(*peer_, Encode(ReadyPacket{}));
}

void Session::SendInput(double now) {
  if (!peer_) return;
  InputPacket packet;
  if (rollback_) {
    const Rollback& rollback = *rollback_;
    const int64_t made = rollback.local_inputs();
    packet.tick = rollback.tick();
    packet.first = std::clamp(their_ack_, made - kMaxInputsPerPacket, made);
    packet.count = static_cast<int>(made - packet.first);
    for (int i = 0; i < packet.count; ++i) {
      packet.inputs[static_cast<size_t>(i)] = rollback.LocalInput(packet.first + i);
    }
    packet.ack = rollback.remote_inputs();
    packet.checked = checked_;
    packet.checksum = checked_checksum_;
  }
  packet.stamp = LinkTiming::Stamp(now);
  packet.echo = timing_.Echo(now);
  const PacketBytes bytes = Encode(packet);
  transport_.Send(*peer_, Channel::kInput, bytes.bytes());
  last_sent_ = now;
}

void Session::SendControl(PeerId peer, const PacketBytes& bytes) {
  transport_.Send(peer, Channel::kControl, bytes.bytes());
}

void Session::Ended(Phase phase) {
  phase_ = phase;
  if (feed_) feed_->End(transport_);
  if (peer_) transport_.Disconnect(*peer_);
}

void Session::CountRollbacks(double now) {
  if (now - rate_since_ < 1.0) return;
  const int64_t rollbacks = rollback_->rollbacks();
  rollbacks_per_second_ = static_cast<double>(rollbacks - rollbacks_before_) / (now - rate_since_);
  rollbacks_before_ = rollbacks;
  rate_since_ = now;
}

}  // namespace kraylo
