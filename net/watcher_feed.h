// The host's spectators: each is sent the game so far, from the tick it asks for, then every tick
// as it is confirmed, in batches, within a budget of bytes on their way. A spectator that cannot
// keep up falls behind and, past a limit, is let go: the players never wait for one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "input/directions.h"
#include "net/transport.h"

namespace kraylo {

class WatcherFeed {
 public:
  // Bytes a spectator may have on their way at once; more waits for them to be acknowledged.
  static constexpr size_t kMostBacklog = size_t{16} * 1024;
  // Seconds a spectator may stay at that limit before it is let go.
  static constexpr double kMostBehindFor = 10.0;
  // Once caught up, ticks go in batches of this many, or after this long (seconds).
  static constexpr int64_t kLiveBatch = 4;
  static constexpr double kLiveWait = 0.1;
  // Ticks kept in memory before the first spectator asks: room for an hour of play.
  static constexpr size_t kTicksReserved = 120'000;

  WatcherFeed();

  // Tick `tick` (the next in order) is confirmed: both balls' directions and the checksum of the
  // state after it.
  void Confirmed(int64_t tick, Directions input, uint32_t checksum);
  // Ticks confirmed so far.
  int64_t ticks() const { return static_cast<int64_t>(inputs_.size()); }

  // A spectator at `peer` asks for the game from tick `from` on, at `now` (seconds); false when
  // kMostWatchers watch already.
  bool Add(PeerId peer, int64_t from, double now);
  void Remove(PeerId peer);
  bool Has(PeerId peer) const;
  int count() const { return static_cast<int>(watchers_.size()); }

  // Sends each spectator what it is due at `now`; lets go of one that has stayed behind too long.
  void Serve(Transport& transport, double now);
  // The game has ended: every spectator is told, after what it has been sent.
  void End(Transport& transport);

 private:
  struct Watcher {
    PeerId peer = 0;
    int64_t next = 0;          // the next tick to send it
    double last_sent = 0;      // seconds
    double behind_since = -1;  // seconds: at the backlog limit since then; -1: not
  };
  // Sends `watcher` its next batch; false when it is not due one now.
  bool SendBatch(Transport& transport, Watcher& watcher, double now);

  std::vector<Directions> inputs_;   // by tick
  std::vector<uint32_t> checksums_;  // by tick: StateChecksum after it
  std::vector<Watcher> watchers_;
};

}  // namespace kraylo
