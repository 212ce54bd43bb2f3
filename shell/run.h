// A whole run as the command line asks for it: a game (recorded or not), a replay shown, or a
// replay checked without a window.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "platform/platform.h"
#include "shell/options.h"
#include "shell/program.h"

namespace kraylo {

// Plays a run on `system`: opens the recording (--record) or reads the replay to show (--replay),
// serves the window until the program ends, then ends the recording. A network game (--host,
// --join) plays over `resources`' transport, opened beforehand; --join without an address shows
// the address screen first, whose address `resources`' dialer looks up and connects to. Returns
// the exit status; a file that cannot be written or read, or a replay that does not check out, is
// reported on `errors` before the window shows, with status 1.
int RunProgram(System& system, const Options& options, std::ostream& errors,
               RunResources resources = {});

// --check-replay: plays the replay at `path` again and compares its checksums. Prints the games,
// ticks and final state checksum on `out` and returns 0, or what is wrong on `errors` and 1.
int CheckReplayFile(Files& files, const std::string& path, std::ostream& out, std::ostream& errors);

}  // namespace kraylo
