// A game against a player on another machine: this machine's player steers one ball, the network
// session decides what the other ball's keys are, tick by tick.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "net/session.h"
#include "net/transport.h"
#include "portmap/port_mapping.h"
#include "shell/match.h"
#include "shell/options.h"

namespace kraylo {

// The ENet transport the options ask for: the port is opened, or the host's name looked up, at
// once; raises kErrNetwork when that fails.
std::unique_ptr<Transport> OpenTransport(const NetworkOptions& network);

// How players reach the host, for its waiting screen.
struct HostReach {
  std::string lan_address;  // this machine's IPv4 address on its network; empty: not known
  // Asks the router to forward UDP `port` (the host, unless the options turn it off); none: no
  // router is asked.
  std::function<std::unique_ptr<PortMapping>(uint16_t port)> map_port;
};

// The program's way to the routers: found on the network, or at `test_router` when that is not
// empty (a URL of a UPnP description; NAT-PMP is asked at its host): the tests' fake routers.
HostReach MachineHostReach(const std::string& test_router);

// A network game over `transport`; the host draws the rounds from `seed`, the joiner takes the
// host's. The session begins with the first frame; the rest happens while the program runs.
// `hooks` hear of the game's start and of every confirmed tick.
std::unique_ptr<Match> MakeNetworkMatch(std::unique_ptr<Transport> transport,
                                        const NetworkOptions& network, uint64_t seed,
                                        ConfirmedTickHooks hooks = {}, HostReach reach = {});

}  // namespace kraylo
