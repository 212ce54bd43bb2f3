// Which path carries a game: direct, once a probe went both ways within the wait, or the relay.
#pragma once

#include <optional>

#include "meeting/endpoint.h"

namespace kraylo {

// How long both sides try their candidates before they take the relay (seconds).
inline constexpr double kDirectPathWait = 2.0;

enum class PathKind { kUndecided, kDirect, kRelayed };

// What a side knows of the way to the other. (state)
struct PathFacts {
  double started = 0;                // when the probing began (seconds)
  bool own_port_varies = false;      // this side's NAT gives a new port per destination
  bool peer_port_varies = false;     // and the other side's
  bool heard_probe = false;          // a probe of the other side's reached this one
  std::optional<Endpoint> answered;  // the first candidate that echoed this side's probe
  bool address_hidden = false;       // either side hides its address: only the relay will do
};

// The choice at `now` (seconds): direct when a probe went both ways, relayed when a side hides its
// address, when both NATs give a new port per destination (punching between two such rarely
// works) or when the wait is over.
PathKind ChoosePath(const PathFacts& facts, double now);

}  // namespace kraylo
