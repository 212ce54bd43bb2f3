// Two sessions over ENet on 127.0.0.1 in one process, the joiner's datagrams going through the
// tests' relay (udp_proxy.h). Time is the test's own clock, moved a millisecond at a time; ENet's
// own retransmission timers run on the real clock, which a run can be told to keep pace with.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "net/enet_transport.h"
#include "tests/net/duel.h"
#include "tests/net/udp_proxy.h"

namespace kraylo::testing {

// An 800x600 game with an input delay of one tick.
inline SessionSettings Field() {
  SessionSettings settings;
  settings.width = 800;
  settings.height = 600;
  settings.input_delay = 1;
  settings.seed = 0xFEED'F00D;
  return settings;
}

// Two sessions over ENet, the joiner's datagrams through the relay.
struct EnetDuel {
  explicit EnetDuel(uint64_t seed, const StepFunction& host_step = StepGame,
                    const SessionSettings& settings = Field())
      : host_transport(EnetTransport::Listen(0, "127.0.0.1")),
        proxy(host_transport->port(), seed),
        join_transport(EnetTransport::Connect("127.0.0.1", proxy.port())),
        duel(*host_transport, *join_transport, clock, settings, host_step) {}

  // With `real_time`, the test's clock keeps pace with the real one, which ENet's time-outs run on.
  void Run(double seconds, const std::function<bool()>& done, bool real_time = false) {
    const double sim_start = clock.now;
    const auto real_start = std::chrono::steady_clock::now();
    duel.Run(seconds, done, [&](double now) {
      proxy.Pump(now);
      if (real_time) {
        std::this_thread::sleep_until(real_start + std::chrono::duration<double>(now - sim_start));
      }
    });
  }
  // Until both sides play over a link as slow as `shape` but without its mishaps, then with them;
  // false when they did not begin within 20 s.
  [[nodiscard]] bool Start(const LinkShape& shape = {}) {
    proxy.Shape({shape.one_way, shape.jitter, 0, 0, 0});
    Run(20, [&] { return duel.BothRan(1); });
    proxy.Shape(shape);
    return duel.BothRan(1);
  }
  double now() const { return clock.now; }

  ManualClock clock;
  std::unique_ptr<EnetTransport> host_transport;
  UdpProxy proxy;
  std::unique_ptr<EnetTransport> join_transport;
  Duel duel;
};

}  // namespace kraylo::testing
