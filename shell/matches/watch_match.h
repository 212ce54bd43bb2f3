// Watching a network game as it is played: what the host confirms is gathered into a live
// timeline and shown with a replay's controls, a short distance behind the newest tick.
#pragma once

#include <memory>
#include <optional>

#include "net/session.h"
#include "net/transport.h"
#include "online/host_address.h"
#include "online/meeting.h"
#include "shell/matches/match.h"

namespace kraylo {

// A spectator of the game at `host`, over `transport` (dialling it); or, with a `meeting`, of the
// game whose code it gives, the way to the host found through the meeting service. `hooks` hear
// of the game's start and of every tick as it arrives (the recorder's, when the run records).
std::unique_ptr<Match> MakeWatchMatch(std::unique_ptr<Transport> transport, HostAddress host,
                                      std::optional<MeetingPlan> meeting, ConfirmedTickHooks hooks);

}  // namespace kraylo
