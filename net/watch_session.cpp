#include "net/watch_session.h"

namespace kraylo {

WatchSession::WatchSession(Transport& transport, Clock& clock)
    : transport_(transport), clock_(clock) {}

void WatchSession::Serve() {
  const double now = clock_.Seconds();
  TransportEvent event;
  for (int taken = 0; taken < kMostEventsPerServe && transport_.Poll(event); ++taken) {
    Handle(event, now);
  }
  if (broken_ && !host_ && now - last_dialed_ >= kRedialEvery) Redial(now);
  transport_.Flush();
}

void WatchSession::Redial(double now) {
  transport_.Redial();
  last_dialed_ = now;
}

void WatchSession::Handle(const TransportEvent& event, double now) {
  using Kind = TransportEvent::Kind;
  if (phase_ == WatchPhase::kEnded || phase_ == WatchPhase::kRefused) return;
  if (event.kind == Kind::kConnected) {
    if (host_) return;
    host_ = event.peer;
    transport_.Send(event.peer, Channel::kControl,
                    Encode(WatchPacket{static_cast<int64_t>(inputs_.size())}).bytes());
    return;
  }
  if (!host_ || event.peer != *host_) return;
  if (event.kind == Kind::kDisconnected) {
    host_.reset();
    if (event.deliberate) {
      phase_ = WatchPhase::kEnded;
    } else {
      broken_ = true;
      Redial(now);
    }
    return;
  }
  const Packet packet = Decode(event.bytes());
  if (const auto* welcome = std::get_if<WatchWelcomePacket>(&packet)) {
    // After a break the host says the same game again; another one behind the address is not it.
    if (game_ && (game_->seed != welcome->seed || game_->width != welcome->width ||
                  game_->height != welcome->height)) {
      phase_ = WatchPhase::kEnded;
      return;
    }
    game_ = WatchedGame{welcome->seed, welcome->width, welcome->height};
    phase_ = WatchPhase::kWatching;
    broken_ = false;
  } else if (const auto* ticks = std::get_if<TicksPacket>(&packet)) {
    Take(*ticks);
  } else if (std::holds_alternative<QuitPacket>(packet) && game_) {
    phase_ = WatchPhase::kEnded;
  } else if (const auto* refuse = std::get_if<RefusePacket>(&packet)) {
    refusal_ = refuse->reason;
    phase_ = WatchPhase::kRefused;
  } else if (const auto* other = std::get_if<OtherVersionPacket>(&packet)) {
    refusal_ = RefusalReason::kVersion;
    host_version_ = other->version;
    phase_ = WatchPhase::kRefused;
  } else {
    ++ignored_;
  }
}

void WatchSession::Take(const TicksPacket& ticks) {
  // Ticks come in order over the reliable channel; any others are not the host's.
  if (!game_ || ticks.first != static_cast<int64_t>(inputs_.size())) {
    ++ignored_;
    return;
  }
  inputs_.insert(inputs_.end(), ticks.inputs.begin(), ticks.inputs.begin() + ticks.count);
  checksums_.push_back({ticks.first + ticks.count - 1, ticks.checksum});
}

}  // namespace kraylo
