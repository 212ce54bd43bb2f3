// A game against a player on another machine, on this program's screen: this machine's player
// steers one ball, the network game decides what the other ball's keys are, tick by tick.
#pragma once

#include <memory>

#include "online/network_game.h"
#include "shell/matches/match.h"

namespace kraylo {

// The match of `game`: its session begins with the first frame, once start-up has read the
// field's size; the rest happens while the program runs.
std::unique_ptr<Match> MakeNetworkMatch(NetworkGame game);

}  // namespace kraylo
