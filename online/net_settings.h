// The network game's settings of this machine's configuration ([Net]), read once at start-up.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/protocol.h"
#include "online/host_address.h"
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
  // [Net] meetServer = HOST[:PORT]: the meeting service that gives codes and relays; the build's
  // own when the key is missing, none when its value is empty.
  std::optional<HostAddress> meet_server;
  // [Net] hideAddress: a game met by code always goes through the relay, so that the other
  // player never learns this machine's address; a game by address is refused.
  bool hide_address = false;
  // The keys of [Net] that are none of its own, for the start-up log.
  std::vector<std::string> unknown_keys;
};

inline constexpr std::string_view kNetSection = "Net";

// Reads [Net] of the configuration file. Raises the malformed-line error, naming the line and
// the file, for a line that is not `key = value` of one of its keys and for a value the program
// cannot take.
NetSettings ReadNetSettings(Files& files);

}  // namespace kraylo
