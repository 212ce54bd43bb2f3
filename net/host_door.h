// The host's door for newcomers: connections that have not said who they are yet, each given a
// few seconds and only a few at once, and what the first word of a stranger gets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/protocol.h"
#include "net/transport.h"

namespace kraylo {

// What the host's game is open to when a stranger speaks.
struct DoorState {
  bool open = false;           // the game has not ended: players and spectators may come
  bool has_player = false;     // a joiner has been chosen (and has not gone for good)
  bool reconnecting = false;   // the player's connection was lost: its token lets it back in
  bool watchers_full = false;  // kMostWatchers watch already
  uint64_t token = 0;          // the lost player's way back
  int32_t width = 0;           // the host's field, pixels
  int32_t height = 0;          // pixels
};

// What a stranger's packet gets.
struct Verdict {
  enum class Answer {
    kIgnore,    // not a word a stranger may say (counted, nothing else)
    kChoose,    // the host's player from now on
    kLetBack,   // the lost player, back with its token
    kWatch,     // a spectator, from tick `from` on
    kTurnAway,  // refused for `reason`
  };
  Answer answer = Answer::kIgnore;
  RefusalReason reason = RefusalReason::kHasPlayer;
  uint16_t their_version = kProtocolVersion;
  int32_t their_width = 0;   // pixels (a hello's field)
  int32_t their_height = 0;  // pixels
  int64_t from = 0;          // kWatch: the first tick the spectator wants
};

class HostDoor {
 public:
  // Connections the host keeps open for their first word at a time, and how long each gets
  // (seconds).
  static constexpr size_t kMostNewcomers = 6;
  static constexpr double kWaitsFor = 5.0;

  // A new connection at `now` (seconds); false when the door is full and it must go. Whether it
  // comes to play or to watch, its first word says.
  bool Knock(PeerId peer, double now);
  // The connection has spoken, or gone.
  void Forget(PeerId peer);
  // Takes out the connections that have waited longer than kWaitsFor by `now` into `silent`.
  void TakeSilent(double now, std::vector<PeerId>& silent);

  // What `packet` from a stranger gets while the host's game stands as `state` says.
  static Verdict Judge(const Packet& packet, const DoorState& state);

 private:
  struct Newcomer {
    PeerId peer = 0;
    double since = 0;  // seconds
  };
  std::vector<Newcomer> newcomers_;
};

}  // namespace kraylo
