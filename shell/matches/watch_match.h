// Watching a network game as it is played: what the host confirms is gathered into a live
// timeline and shown with a replay's controls, a short distance behind the newest tick.
#pragma once

#include <memory>

#include "net/session.h"
#include "net/transport.h"
#include "online/host_address.h"
#include "shell/matches/match.h"

namespace kraylo {

// A spectator of the game at `host`, over `transport` (dialling it). `hooks` hear of the game's
// start and of every tick as it arrives (the recorder's, when the run records).
std::unique_ptr<Match> MakeWatchMatch(std::unique_ptr<Transport> transport, HostAddress host,
                                      ConfirmedTickHooks hooks);

}  // namespace kraylo
