// Which kind of run this is: one value, read once from the command line and the configuration,
// from which one function (MakeMatch) makes the match.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "online/network_game.h"
#include "opponent/level.h"
#include "platform/platform.h"

namespace kraylo {

// Two players at this machine.
struct LocalGame {};
// One player against the computer at `level` (the command line's; the configuration's, else
// normal, once resolved).
struct ComputerGame {
  std::optional<Level> level;
};
// --join alone: the host's address or code is typed on the address screen once the picture is
// up.
struct TypedJoin {
  int input_delay = kDefaultInputDelay;  // ticks
  bool hide_address = false;             // --hide-address: only a code will do
};
// --watch HOST[:PORT]: the game played at the host watched as it goes on; this machine only
// looks on.
struct WatchGame {
  HostAddress host;  // where the host plays
};
// --watch CODE: the same, the host met through the meeting service by its code.
struct CodeWatch {
  RoomCode code;
  bool hide_address = false;  // --hide-address
};
// --watch alone: the host's code or address is typed on the address screen.
struct TypedWatch {
  bool hide_address = false;  // --hide-address: only a code will do
};
// --replay FILE: the games recorded in FILE shown again.
struct ReplayToShow {
  std::string file;
};
// --check-replay FILE: the games recorded in FILE played again without a window.
struct ReplayToCheck {
  std::string file;
};

using RunMode = std::variant<LocalGame, ComputerGame, HostGame, JoinGame, CodeJoin, TypedJoin,
                             WatchGame, CodeWatch, TypedWatch, ReplayToShow, ReplayToCheck>;

// Whether the run types its host's code or address on the address screen first.
bool TypesItsHost(const RunMode& mode);

// Whether the run plays or watches a game over the network (or will, once its address is typed).
bool IsNetworkRun(const RunMode& mode);

// Whether the run goes straight to the game screen, past the menu: a game only looked on at.
bool ShowsGameAtOnce(const RunMode& mode);

// The run mode the command line's `asked` becomes with the configuration's [Main]: a local game
// becomes one against the computer when `opponent = computer`, and the computer's level comes
// from the command line, else from `level`, else normal. Both keys are read whatever the command
// line says, so that a bad value is never passed over: raises the malformed-line error, naming
// the line and the file.
RunMode ResolveRunMode(const RunMode& asked, Files& files);

}  // namespace kraylo
