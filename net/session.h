// One side of a network game: the handshake, the start on a common tick, the ticks run with
// rollback and input delay, time sync, the checksums that tell the two sides apart, and the ends
// (the other player leaves, goes silent, or plays a different game). It runs over a Transport and
// reads time from a Clock, so that tests can drive it with their own of both.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "game/balls.h"
#include "game/seeded_random.h"
#include "input/directions.h"
#include "net/checksum_log.h"
#include "net/confirmed_states.h"
#include "net/handshake.h"
#include "net/host_door.h"
#include "net/link_timing.h"
#include "net/protocol.h"
#include "net/rollback.h"
#include "net/transport.h"
#include "net/watcher_feed.h"
#include "platform/platform.h"

namespace kraylo {

inline constexpr int kMostInputDelay = 4;     // ticks
inline constexpr int kDefaultInputDelay = 1;  // ticks, 0 to kMostInputDelay

struct SessionSettings {
  Role role = Role::kHost;
  int input_delay = kDefaultInputDelay;  // ticks between a key and the tick it acts on
  int32_t width = 0;                     // this side's field, pixels
  int32_t height = 0;                    // pixels
  uint64_t seed = 0;                     // the host's seed for the rounds (the joiner's is ignored)
  // The host's: what its joiner says to come back after the connection was lost (the joiner's is
  // ignored; it takes the host's).
  uint64_t token = 0;
  // The host's: how long after the last packet a lost connection may come back (seconds, 1 to
  // kMostReconnectSeconds); the joiner takes the host's.
  int reconnect_seconds = kDefaultReconnectSeconds;
};

enum class Phase {
  kConnecting,  // the joiner has no answer from the host yet
  kWaiting,     // the game has not begun: no other player yet, or one of the two is not ready
  kPlaying,
  kReconnecting,  // the connection was lost while playing: the joiner connects again
  kLeft,          // the other player left: by Esc, by closing the connection, or by silence
                  // before the game
  kNotRestored,   // the connection lost while playing did not come back within the limit
  kOutOfStep,     // the two states differ from desync_tick() on: both sides stop
  kRefused,       // the two sides cannot play together: refusal() says why
  kQuit,          // this side's player left
};

// Why two sides could not play together.
struct Refusal {
  RefusalReason reason = RefusalReason::kVersion;
  bool by_us = false;          // this side turned the other away
  uint16_t their_version = 0;  // the other side's protocol version
  int32_t their_width = 0;     // the other side's field (kFieldSize), pixels
  int32_t their_height = 0;    // pixels
};

// What the tests and the benchmarks measure, and the overlay shows.
struct SessionStats {
  int64_t ticks_run = 0;
  int64_t stalled_ticks = 0;   // timer ticks of play that ran no tick (the game froze for them)
  int64_t waits = 0;           // of those, the ones time sync made (this side was ahead)
  int64_t long_freezes = 0;    // runs of more than one stalled tick
  int64_t longest_freeze = 0;  // the longest run of stalled ticks
  int64_t rollbacks = 0;       // wrong predictions undone
  int64_t malformed = 0;     // datagrams that were not one of our packets, or on the wrong channel
  int64_t unknown_type = 0;  // packets of a type this version does not know
  int64_t from_strangers = 0;  // packets from a connection that is not the other player's
  int64_t from_watchers = 0;   // packets from spectators (they only listen: nothing counts)
  int64_t unexpected = 0;      // our packets at a moment they mean nothing
};

// What a recording of the game is made from: the game's start, then every confirmed tick in order.
struct ConfirmedTickHooks {
  // The game begins: the seed of its rounds and its field (pixels).
  std::function<void(uint64_t seed, int32_t width, int32_t height)> game_started;
  // Tick `tick` (from 0) is final: the input byte of both balls and the state after it.
  std::function<void(int64_t tick, Directions input, const GameModel& game,
                     const SeededRandom& random)>
      tick_confirmed;
};

class Session {
 public:
  // Silence after which the connection counts as interrupted, and as lost (seconds). A game lost
  // while playing waits for the joiner to come back up to the reconnection limit, counted from
  // the last packet; before the game, the other player counts as gone.
  static constexpr double kInterruptedAfter = 0.75;
  static constexpr double kGoneAfter = 5.0;
  // This side waits a tick whenever it would otherwise run this many ticks ahead of the other's
  // game (in time: a tick is 30 ms), so that it is never more than two ticks ahead once it has
  // heard that the other side has fallen behind.
  static constexpr double kMostAhead = 1.5;
  // While the connection is lost, the joiner connects afresh this often (seconds) rather than
  // wait on the transport's own retries, which back off to seconds apart: the game goes on within
  // this long of the link coming back.
  static constexpr double kRedialEvery = 0.5;
  // Events taken from the transport per call at most, so that a flood cannot hold the game up.
  static constexpr int kMostEventsPerServe = 256;

  // `transport` and `clock` must outlive the session. Raises kErrInvalidArgument for an input
  // delay outside 0 to kMostInputDelay or a field without pixels.
  Session(Transport& transport, Clock& clock, SessionSettings settings,
          StepFunction step = StepGame);

  // Takes in what has arrived and answers it; notices silence. Call it often (every frame).
  void Serve();
  // A tick of the 30 ms timer on the game screen, with this side's player's directions (bits 0-3:
  // Left, Right, Up, Down). The first one says the player is ready; once the game runs, each runs
  // at most one tick of the game and sends this side's inputs.
  void Tick(Directions own);
  // This side's player leaves: the other side is told at once.
  void Quit();

  Phase phase() const { return phase_; }
  // No packet from the other side for kInterruptedAfter seconds while playing.
  bool interrupted() const;
  // The first tick found out of step (kOutOfStep).
  int64_t desync_tick() const { return desync_tick_; }
  // Why the game could not be played (kRefused).
  const Refusal& refusal() const { return refusal_; }
  // The host's last turned-away player, while it waits for another.
  const std::optional<Refusal>& turned_away() const { return turned_away_; }
  // The game as it stands (with the other side's latest inputs predicted); once the other player
  // has left or the connection was not restored, the state after the last tick both sides
  // confirmed, so that both show the same;
  // nullptr before the game begins.
  const GameState* state() const;
  // Spectators watching the game: the host's own, the joiner's as the host last said.
  int watchers() const;
  // Ticks both sides have confirmed, as far as this side knows (the state after the last of them
  // is what state() shows once the other player has left).
  int64_t both_confirmed() const { return confirmed_ ? confirmed_->shown() : 0; }
  // Seconds left before a lost connection counts as the other player gone (kReconnecting).
  double reconnect_seconds_left() const;
  const SessionSettings& settings() const { return settings_; }
  // The smoothed round trip (seconds); nullopt before the first measurement.
  std::optional<double> round_trip() const;
  // Wrong predictions undone per second, over the last whole second.
  double rollbacks_per_second() const { return rollbacks_per_second_; }
  SessionStats stats() const;

  void SetHooks(ConfirmedTickHooks hooks) { hooks_ = std::move(hooks); }

 private:
  void Handle(const TransportEvent& event, double now);
  void HandleStranger(const TransportEvent& event, const Packet& packet, double now);
  void HandleFromPeer(const Packet& packet, double now);
  // What a packet from the other player does; false when it means nothing at this moment.
  bool On(const InputPacket& packet, double now);
  bool On(const WelcomePacket& welcome, double now);
  bool On(const RejoinPacket& rejoin, double now);
  bool On(const OtherVersionPacket& other, double now);
  bool On(const RefusePacket& refuse, double now);
  bool On(const ReadyPacket& ready, double now);
  bool On(const StartPacket& start, double now);
  bool On(const QuitPacket& quit, double now);
  bool On(const DesyncPacket& desync, double now);
  bool On(const WatchersPacket& watchers, double now);
  // Spectators' words, which a player never sends.
  bool On(const WatchPacket& watch, double now);
  bool On(const WatchWelcomePacket& welcome, double now);
  bool On(const TicksPacket& ticks, double now);
  // A hello comes only from a newcomer; the rest never get past Handle.
  bool On(const HelloPacket& hello, double now);
  bool On(const MalformedPacket& malformed, double now);
  bool On(const UnknownPacket& unknown, double now);
  // Between the handshake and the end: the two sides talk.
  bool Open() const;
  void Choose(PeerId peer, double now);
  void TurnAway(PeerId peer, RefusalReason reason, uint16_t their_version, int32_t width,
                int32_t height);
  void Refused(const Refusal& refusal);
  void OnConfirmed(int64_t tick, Directions input, const GameState& after);
  void CheckSilence(double now);
  void Lost(double now);
  // The joiner connects afresh (a host has nothing to dial).
  void Redial(double now);
  void Resume(double now);
  void Welcome(PeerId peer);
  // A spectator let in, from tick `from` on.
  void LetWatch(PeerId peer, int64_t from, double now);
  // The player hears how many watch.
  void SendWatchers();
  void Admit(PeerId peer, double now);
  // What the host's game is open to now.
  DoorState Door() const;
  void TryStart(double now);
  void Begin(double now);
  void RunOrStall(Directions own, double now);
  void FindDesync();
  void OutOfStep(int64_t tick);
  void SendReady();
  void SendInput(double now);
  void SendControl(PeerId peer, const PacketBytes& bytes);
  void Ended(Phase phase);
  void CountRollbacks(double now);

  Transport& transport_;
  Clock& clock_;
  SessionSettings settings_;
  StepFunction step_;
  ConfirmedTickHooks hooks_;

  Phase phase_;
  std::optional<PeerId> peer_;            // the other player's connection
  HostDoor door_;                         // the host's connections that have not said hello yet
  std::vector<PeerId> silent_newcomers_;  // those found silent for too long, to be sent away
  std::optional<WatcherFeed> feed_;       // the host's spectators
  int watchers_heard_ = 0;                // the joiner's: how many watch, as the host said
  Handshake handshake_;
  uint64_t seed_ = 0;
  uint64_t token_ = 0;
  int reconnect_seconds_ = 0;
  double last_heard_ = 0;   // seconds
  double last_sent_ = -1;   // seconds
  double last_dialed_ = 0;  // seconds: the joiner's last new connection while reconnecting

  LinkTiming timing_;
  ChecksumLog checksums_;
  std::optional<Rollback> rollback_;
  std::optional<ConfirmedStates> confirmed_;
  int64_t their_ack_ = 0;          // this side's inputs the other side holds
  int64_t checked_ = 0;            // ticks this side has confirmed
  uint32_t checked_checksum_ = 0;  // of the state after tick checked_ - 1
  int64_t desync_tick_ = -1;
  Refusal refusal_;
  std::optional<Refusal> turned_away_;

  SessionStats stats_;
  int64_t stall_run_ = 0;  // stalled timer ticks in a row, up to now
  double rate_since_ = 0;  // seconds: start of the second rollbacks are being counted over
  int64_t rollbacks_before_ = 0;
  double rollbacks_per_second_ = 0;
};

}  // namespace kraylo
