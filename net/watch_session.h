// A spectator's side of a network game: it connects to the host, asks to watch from the tick it
// has, and gathers the game as the host confirms it: the seed, the field, every tick's keys and
// checksums to check them against. It says nothing else; a spectator only listens. A connection
// that breaks is made afresh, and the game taken up where it stood.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "input/directions.h"
#include "net/protocol.h"
#include "net/transport.h"
#include "platform/platform.h"

namespace kraylo {

enum class WatchPhase {
  kConnecting,  // no answer from the host yet (or, after a break, again)
  kWatching,    // the host let this spectator in: the game comes as it is confirmed
  kEnded,       // the players' game has ended (or the host has gone)
  kRefused,     // the host would not have this spectator: refusal() says why
};

// The game a spectator was let in to watch.
struct WatchedGame {
  uint64_t seed = 0;   // of the generator that places the rounds
  int32_t width = 0;   // the field, pixels
  int32_t height = 0;  // pixels
};

// A checksum of the state after a tick, as the host computed it.
struct TickChecksum {
  int64_t tick = 0;  // the state after this tick
  uint32_t checksum = 0;
};

class WatchSession {
 public:
  // Seconds between attempts to connect afresh while the connection is broken.
  static constexpr double kRedialEvery = 0.5;
  // Events taken from the transport per call at most.
  static constexpr int kMostEventsPerServe = 256;

  // `transport` (connecting to the host) and `clock` must outlive the session.
  WatchSession(Transport& transport, Clock& clock);

  // Takes in what has arrived. Call it often (every frame).
  void Serve();

  WatchPhase phase() const { return phase_; }
  // The refusal's reason and the host's version (kRefused).
  RefusalReason refusal() const { return refusal_; }
  uint16_t host_version() const { return host_version_; }
  // The game, once the host has let this spectator in.
  const std::optional<WatchedGame>& game() const { return game_; }
  // Both balls' directions of every tick known so far, from tick 0.
  const std::vector<Directions>& inputs() const { return inputs_; }
  // The host's checksums, one after each batch of ticks, in order.
  const std::vector<TickChecksum>& checksums() const { return checksums_; }
  // Datagrams from the host that were not what a spectator is sent.
  int64_t ignored() const { return ignored_; }

 private:
  void Handle(const TransportEvent& event, double now);
  void Take(const TicksPacket& ticks);
  void Redial(double now);

  Transport& transport_;
  Clock& clock_;
  WatchPhase phase_ = WatchPhase::kConnecting;
  std::optional<PeerId> host_;
  double last_dialed_ = 0;  // seconds
  bool broken_ = false;     // the connection went: connecting afresh
  RefusalReason refusal_ = RefusalReason::kVersion;
  uint16_t host_version_ = kProtocolVersion;
  std::optional<WatchedGame> game_;
  std::vector<Directions> inputs_;
  std::vector<TickChecksum> checksums_;
  int64_t ignored_ = 0;
};

}  // namespace kraylo
