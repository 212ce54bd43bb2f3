// The command line: which game the run plays and where it records it. Every option is one row of
// the table in options.cpp, which also writes the usage text.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/session.h"
#include "opponent/level.h"

namespace kraylo {

// A game against a player on another machine.
struct NetworkOptions {
  bool host = false;  // --host: wait for the other player; --join: connect to them
  std::string peer;   // --join's HOST: a name or an IPv4 address; empty: typed at the start
  uint16_t port = 0;  // the UDP port the host waits on
  int input_delay = kDefaultInputDelay;  // --delay N: ticks between a key and the tick it acts on
  // [Net] reconnectSeconds, read at start-up: how long a lost connection may take to come back.
  int reconnect_seconds = 60;
  // The host asks the router to forward its port; --no-port-mapping and [Net] portMapping =
  // false turn it off.
  bool port_mapping = true;
};

struct Options {
  bool help = false;                      // --help: print the usage and end
  bool version = false;                   // --version: print the version and end
  std::string record;                     // --record FILE: record every game of the run into FILE
  std::string replay;                     // --replay FILE: show the games recorded in FILE
  std::string check_replay;               // --check-replay FILE: play FILE again without a window
  bool computer = false;                  // --computer: ball 2 is played by the computer
  std::optional<Level> computer_level;    // its LEVEL when given (else config.cfg's, else normal)
  std::optional<NetworkOptions> network;  // --host [PORT] or --join HOST[:PORT], with --delay N
  bool mute = false;                      // --mute: the sound starts switched off
};

// A command line the program does not take; what() says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the arguments after the program's name. Options are written --name, --name VALUE or
// --name=VALUE; an option with a value takes the next argument unless it starts with "--" (such a
// value is written --name=VALUE). Raises UsageError for an unknown option, a missing or bad value,
// an option given twice, or options that cannot go together.
Options ParseOptions(const std::vector<std::string>& arguments);

// Reads a host's address, "HOST[:PORT]" (HOST a name or an IPv4 address, PORT 27910 when not
// given), into `network`'s peer and port. Raises UsageError saying what is wrong, `subject`
// ("--join") first; `network` is left as it was then.
void ReadHostAddress(const std::string& text, const std::string& subject, NetworkOptions& network);

// The usage text: the command, then one line per option.
std::string UsageText();

// The program's version ("1.0.0").
const char* VersionText();

}  // namespace kraylo
