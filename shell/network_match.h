// A game against a player on another machine: this machine's player steers one ball, the network
// session decides what the other ball's keys are, tick by tick.
#pragma once

#include <memory>
#include <string>

#include "net/session.h"
#include "net/transport.h"
#include "shell/match.h"
#include "shell/options.h"

namespace kraylo {

// The ENet transport the options ask for: the port is opened, or the host's name looked up, at
// once; raises kErrNetwork when that fails.
std::unique_ptr<Transport> OpenTransport(const NetworkOptions& network);

// A network game over `transport`; the host draws the rounds from `seed`, the joiner takes the
// host's. The session begins with the first frame; the rest happens while the program runs.
// `hooks` hear of the game's start and of every confirmed tick.
std::unique_ptr<Match> MakeNetworkMatch(std::unique_ptr<Transport> transport,
                                        const NetworkOptions& network, uint64_t seed,
                                        ConfirmedTickHooks hooks = {});

}  // namespace kraylo
