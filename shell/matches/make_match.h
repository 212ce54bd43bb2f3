// The one place a run's match is made, from its run mode.
#pragma once

#include <memory>

#include "net/session.h"
#include "shell/matches/match.h"

namespace kraylo {

struct Program;

// The match `program`'s (resolved) run mode asks for: a local game, the computer, a network game
// over the transport the run was given, or the replay it read. --join alone gets a local match
// until the address screen has its address. `extra` hooks hear of a network game's start and its
// confirmed ticks after the recording does. Raises kErrNetwork for a network game that cannot be
// as configured (an address to hide without a meeting service, a code without one).
std::unique_ptr<Match> MakeMatch(Program& program, const ConfirmedTickHooks& extra = {});

}  // namespace kraylo
