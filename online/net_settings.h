// The network game's settings of this machine's configuration ([Net]), read once at start-up.
#pragma once

#include "net/protocol.h"
#include "platform/platform.h"

namespace kraylo {

// The shortest a player may set it to (seconds); the longest is kMostReconnectSeconds.
inline constexpr int kFewestReconnectSeconds = 5;

struct NetSettings {
  // [Net] reconnectSeconds: how long a lost connection may take to come back (seconds); the
  // host's value holds for both sides.
  int reconnect_seconds = kDefaultReconnectSeconds;
  // [Net] portMapping: the host asks the router to forward its port.
  bool port_mapping = true;
};

// Reads [Net] of the configuration file. Raises the malformed-line error, naming the line and
// the file, for a value the program cannot take.
NetSettings ReadNetSettings(Files& files);

}  // namespace kraylo
