#include "net/handshake.h"

namespace kraylo {

bool Handshake::PlayerReady() {
  if (player_ready_) return false;
  player_ready_ = true;
  return agreed();
}

bool Handshake::Agree(Role role) {
  // The host starts the game only once it is ready, so its welcome stands for its ready.
  state_ = role == Role::kJoin ? HandshakeState::kOtherReady : HandshakeState::kAgreed;
  return ReadyToSend();
}

void Handshake::Disagree() {
  state_ = HandshakeState::kNoPlayer;
  start_at_.reset();
}

bool Handshake::OtherReady() {
  if (state_ == HandshakeState::kAgreed) state_ = HandshakeState::kOtherReady;
  return agreed();
}

bool Handshake::StartHeard(double now) {
  // The host sends the start only after this side's ready, so one before it is not ours to take.
  if (state_ != HandshakeState::kOtherReady || !player_ready_) return false;
  state_ = HandshakeState::kStartDue;
  start_at_ = now;
  return true;
}

bool Handshake::StartDue(double now, double half_round_trip) {
  if (state_ != HandshakeState::kOtherReady || !player_ready_) return false;
  state_ = HandshakeState::kStartDue;
  start_at_ = now + half_round_trip;
  return true;
}

}  // namespace kraylo
