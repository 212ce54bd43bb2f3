// Where the two sides of a network game stand before tick 0: the joiner says hello with its field,
// the host welcomes it with the seed, each side says when its player is ready, and the host names
// the moment the game starts. The session sends and receives the packets; this keeps the state they
// lead to, one explicit value, and answers what a packet or a player's Play means in it.
#pragma once

#include <optional>

namespace kraylo {

enum class Role {
  kHost,  // waits for the other player; steers ball 1, draws the seed
  kJoin,  // connects to the host; steers ball 2
};

enum class HandshakeState {
  kConnecting,  // the joiner: hello sent, no welcome yet
  kNoPlayer,    // the host: no joiner chosen yet
  kAgreed,      // both sides play the same game; the other side's player is not ready yet
  kOtherReady,  // the other side's player is ready (a welcoming host counts as ready)
  kStartDue,    // tick 0 runs at the first timer tick from start_at() on
};

class Handshake {
 public:
  explicit Handshake(Role role)
      : state_(role == Role::kHost ? HandshakeState::kNoPlayer : HandshakeState::kConnecting) {}

  HandshakeState state() const { return state_; }
  // The two sides know each other's game: a joiner has been chosen, or welcomed.
  bool agreed() const { return state_ >= HandshakeState::kAgreed; }
  // Seconds: when tick 0 runs; nullopt until the start is known.
  std::optional<double> start_at() const { return start_at_; }

  // This side's player pressed Play (the first timer tick). True: send ReadyPacket now.
  bool PlayerReady();
  // The host chose a joiner, or the joiner was welcomed (the host is ready by then). True: send
  // ReadyPacket now.
  bool Agree(Role role);
  // The host's joiner would not play after all: wait for another.
  void Disagree();
  // The other side's ReadyPacket; false when it means nothing now.
  bool OtherReady();
  // The joiner heard the host's StartPacket at `now` (seconds); false when it means nothing now.
  bool StartHeard(double now);
  // The host, once both players are ready and the round trip is measured: true when the start is
  // to be sent now, tick 0 then running half a round trip (seconds) later, when the word arrives.
  bool StartDue(double now, double half_round_trip);

 private:
  bool ReadyToSend() const { return player_ready_ && agreed(); }

  HandshakeState state_;
  bool player_ready_ = false;  // this side's player: a fact of its own, known before any agreement
  std::optional<double> start_at_;
};

}  // namespace kraylo
