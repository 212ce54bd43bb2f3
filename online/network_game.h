// A game against a player on another machine, as this program makes and runs one: the transport
// it plays over, the session once the field is known, and, on the host, the router asked to open
// its port. The shell puts it on the screen (its match and its messages); everything that makes
// the game lives here.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "meeting/room_code.h"
#include "net/session.h"
#include "net/transport.h"
#include "online/host_address.h"
#include "online/host_reach.h"
#include "online/meeting.h"
#include "online/net_settings.h"
#include "platform/platform.h"
#include "portmap/port_mapping.h"

namespace kraylo {

// A game this machine hosts, as the command line asks for it (--host [PORT]). With a meeting
// service configured, it has a code too.
struct HostGame {
  uint16_t port = kDefaultPort;          // UDP, on every IPv4 address of the machine
  int input_delay = kDefaultInputDelay;  // ticks between a key and the tick it acts on
  bool port_mapping = true;              // false: --no-port-mapping
  bool hide_address = false;             // --hide-address
};
// A game this machine joins, as the command line asks for it (--join HOST[:PORT]).
struct JoinGame {
  HostAddress host;                      // where the host waits
  int input_delay = kDefaultInputDelay;  // ticks
};
// A game this machine joins by the host's code, through the meeting service (--join CODE).
struct CodeJoin {
  RoomCode code;
  int input_delay = kDefaultInputDelay;  // ticks
  bool hide_address = false;             // --hide-address
};

// Everything a network game is made from, before the field is known.
struct NetworkSetup {
  Role role = Role::kHost;
  HostAddress address;  // the joiner: the host's; the host: its own port (the name is not used)
  int input_delay = kDefaultInputDelay;  // ticks
  // The host asks the router to forward its port: the command line and [Net] both allow it.
  bool map_port = false;
  int reconnect_seconds = kDefaultReconnectSeconds;  // the host's [Net] limit
  uint64_t seed = 0;                                 // the host's, for the rounds
  MeetingPlan meeting;                               // no service: the game has no code
};

// The setups of each kind of network game, with [Net] and `seed` (the host's rounds, the
// meeting's transactions). A setup that would show this machine's address where it is to be
// hidden, or that needs a meeting service where none is configured, raises kErrNetwork saying so.
NetworkSetup HostSetup(const HostGame& host, const NetSettings& settings, uint64_t seed);
NetworkSetup JoinSetup(const JoinGame& join, const NetSettings& settings);
NetworkSetup CodeJoinSetup(const CodeJoin& join, const NetSettings& settings, uint64_t seed);
// The meeting of a side that gives the host's `code` (to join, or to watch), raising kErrNetwork
// when no service is configured; `joining` words the message.
MeetingPlan CodePlan(RoomCode code, bool hide_address, const NetSettings& settings, uint64_t seed,
                     const char* joining);

class NetworkGame {
 public:
  // `hooks` hear of the game's start and of every confirmed tick.
  NetworkGame(std::unique_ptr<Transport> transport, NetworkSetup setup, HostReach reach,
              ConfirmedTickHooks hooks);

  // The session, once Begin has made it; nullptr before.
  Session* session() { return session_ ? &*session_ : nullptr; }
  const Session* session() const { return session_ ? &*session_ : nullptr; }
  // Makes the session for a field of `width` x `height` pixels, `step` running its ticks and
  // `token` the joiner's way back after a lost connection; the host asks its router now, and a
  // game with a meeting service begins to meet.
  Session& Begin(Clock& clock, int32_t width, int32_t height, uint64_t token, StepFunction step);
  // Takes in what has arrived, for the meeting and the session. Call it every frame once begun.
  void Serve();
  // The meeting by code; nullptr for a game without one.
  const Meeting* meeting() const { return meeting_ ? &*meeting_ : nullptr; }

  const NetworkSetup& setup() const { return setup_; }
  // Where players reach the host (its own network's address).
  const HostReach& reach() const { return reach_; }
  // The router's answer about the host's port; nullptr when no router is asked.
  const PortMapping* mapping() const { return mapping_.get(); }

 private:
  // The router's outside address and port, once it opened the host's, join the meeting's offer.
  void OfferMappedPort();

  std::unique_ptr<Transport> transport_;
  NetworkSetup setup_;
  HostReach reach_;
  ConfirmedTickHooks hooks_;
  // Declared after the transport: the router forgets the port before the socket closes.
  std::unique_ptr<PortMapping> mapping_;
  std::optional<Session> session_;
  std::optional<Meeting> meeting_;
  bool mapped_port_offered_ = false;
};

}  // namespace kraylo
