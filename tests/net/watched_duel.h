// Two players and spectators of their game on the in-memory transport and the test's clock: what
// the spectators' tests and benchmarks share.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "net/watch_session.h"
#include "tests/net/duel.h"

namespace kraylo::testing {

// The players' field and seed; a dropout is waited for 20 s.
inline SessionSettings Field() {
  SessionSettings settings;
  settings.width = 800;
  settings.height = 600;
  settings.seed = 77;
  settings.reconnect_seconds = 20;
  return settings;
}

struct Spectator {
  explicit Spectator(ManualClock& clock) : transport(clock), session(transport, clock) {}
  FakeTransport transport;
  WatchSession session;
};

// Two players and any number of spectators, each on a transport of its own.
struct WatchedDuel {
  WatchedDuel() : host_transport(clock), join_transport(clock) {
    Connect(host_transport, join_transport, 0.03);
    duel.emplace(host_transport, join_transport, clock, Field());
  }

  // A spectator `one_way` seconds from the host.
  Spectator& AddSpectator(double one_way) {
    spectators.push_back(std::make_unique<Spectator>(clock));
    Connect(host_transport, spectators.back()->transport, one_way);
    return *spectators.back();
  }
  void Run(double seconds, const std::function<bool()>& done = nullptr) {
    duel->Run(seconds, done, [&](double) {
      for (auto& spectator : spectators) spectator->session.Serve();
    });
  }

  ManualClock clock;
  FakeTransport host_transport;
  FakeTransport join_transport;
  std::optional<Duel> duel;
  std::vector<std::unique_ptr<Spectator>> spectators;
};

}  // namespace kraylo::testing
