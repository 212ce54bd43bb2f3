// A network game's costs: going back 8 ticks and running them again (restore + re-simulate), the
// bytes each side sends per second at 33 ticks a second over ENet, and how soon a game goes on
// after its link was dark.
#include <benchmark/benchmark.h>

#include <memory>

#include "game/motion.h"
#include "game/state_checksum.h"
#include "input/key_source.h"
#include "net/enet_transport.h"
#include "net/rollback.h"
#include "tests/net/duel.h"
#include "tests/net/enet_duel.h"
#include "tests/net/udp_proxy.h"

namespace kraylo {
namespace {

constexpr int64_t kRolledBack = 8;  // ticks: the whole prediction window
// The speed a held key settles at after friction, pixels per tick.
constexpr double kTopSpeed = 100.0 / 3.0;

// Balls 1 and 2 far apart on a large field, each at top speed along both axes away from the
// other, with the keys that keep them there: every tick is the game's dearest, 140 contact tests.
GameState AtTopSpeed() {
  GameState state = StartingState(4000, 4000, 1);
  state.game.Balls(1) = TBall{1500, 2000, -kTopSpeed, -kTopSpeed, true};
  state.game.Balls(2) = TBall{2500, 2000, kTopSpeed, kTopSpeed, true};
  return state;
}
// Ball 1 Left and Up, ball 2 Right (D) and Down (S).
constexpr Directions kAway = 0x01 | 0x04 | 0x20 | 0x80;

// The same 8 ticks straight, without a rollback: what the restore is measured against.
void BM_EightTicksStraight(benchmark::State& state) {
  const GameState start = AtTopSpeed();
  GameState game = start;
  for ([[maybe_unused]] auto _ : state) {
    game = start;
    for (int64_t tick = 0; tick < kRolledBack; ++tick) StepGame(game, kAway, tick);
    benchmark::DoNotOptimize(game);
  }
}
BENCHMARK(BM_EightTicksStraight)->Unit(benchmark::kMicrosecond);

// Restores the state from 8 ticks back and runs the 8 ticks again, as a wrong prediction over the
// whole window makes a side do.
void BM_RollbackOfEightTicks(benchmark::State& state) {
  Rollback rollback(AtTopSpeed(), 1);
  for (int64_t tick = 0; tick < kRolledBack; ++tick) {
    rollback.AddLocal(BallDirections(kAway, 1));
    rollback.RunTick();
  }
  for ([[maybe_unused]] auto _ : state) {
    rollback.Resimulate(rollback.tick() - kRolledBack);
    benchmark::DoNotOptimize(rollback.state());
  }
  state.counters["ticks_per_rollback"] = kRolledBack;
}
BENCHMARK(BM_RollbackOfEightTicks)->Unit(benchmark::kMicrosecond);

// Two sessions over ENet on 127.0.0.1 through the test relay with `round trip` milliseconds
// (argument), the players' keys from the tests' scripts, a minute of play on the tests' clock.
// Counts what each side's ENet sent: UDP payloads, and with the 28 bytes of IPv4 and UDP headers
// every datagram also carries.
void BM_BytesPerSecondEachWay(benchmark::State& state) {
  const int round_trip_ms = static_cast<int>(state.range(0));
  TrafficCounts host_sent{};
  TrafficCounts join_sent{};
  double seconds = 0;
  for ([[maybe_unused]] auto _ : state) {
    testing::ManualClock clock;
    auto host_transport = EnetTransport::Listen(0, "127.0.0.1");
    testing::UdpProxy proxy(host_transport->port(), 1);
    const double one_way = round_trip_ms / 2000.0;
    proxy.Shape({one_way, 0, 0, 0, 0});
    auto join_transport = EnetTransport::Connect("127.0.0.1", proxy.port());
    SessionSettings settings;
    settings.width = 800;
    settings.height = 600;
    testing::Duel duel(*host_transport, *join_transport, clock, settings);
    const auto pump = [&](double now) { proxy.Pump(now); };
    duel.Run(
        20, [&] { return duel.BothRan(1); }, pump);
    const TrafficCounts host_before = host_transport->traffic();
    const TrafficCounts join_before = join_transport->traffic();
    const double start = clock.now;
    duel.Run(60, nullptr, pump);
    seconds = clock.now - start;
    const TrafficCounts host_after = host_transport->traffic();
    const TrafficCounts join_after = join_transport->traffic();
    host_sent = {host_after.bytes_sent - host_before.bytes_sent,
                 host_after.datagrams_sent - host_before.datagrams_sent, 0, 0};
    join_sent = {join_after.bytes_sent - join_before.bytes_sent,
                 join_after.datagrams_sent - join_before.datagrams_sent, 0, 0};
  }
  constexpr double kIpAndUdpHeaders = 28;  // bytes per datagram
  const auto per_second = [&](double value) { return value / seconds; };
  state.counters["host_payload_B/s"] = per_second(static_cast<double>(host_sent.bytes_sent));
  state.counters["joiner_payload_B/s"] = per_second(static_cast<double>(join_sent.bytes_sent));
  state.counters["host_wire_B/s"] =
      per_second(static_cast<double>(host_sent.bytes_sent) +
                 kIpAndUdpHeaders * static_cast<double>(host_sent.datagrams_sent));
  state.counters["joiner_wire_B/s"] =
      per_second(static_cast<double>(join_sent.bytes_sent) +
                 kIpAndUdpHeaders * static_cast<double>(join_sent.datagrams_sent));
  state.counters["host_datagrams/s"] = per_second(static_cast<double>(host_sent.datagrams_sent));
  state.counters["wire_share_of_2.5KB/s"] =
      per_second(static_cast<double>(host_sent.bytes_sent) +
                 kIpAndUdpHeaders * static_cast<double>(host_sent.datagrams_sent)) /
      2560;
}
BENCHMARK(BM_BytesPerSecondEachWay)
    ->Arg(0)
    ->Arg(150)
    ->Arg(300)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A link dark for `seconds` (argument) in the middle of a game, with the program's own figures
// (ENet gives up after 30 s, the host waits 60 s), in real time: the seconds from the link's return
// to both sides playing on.
void BM_ResumptionAfterBlackout(benchmark::State& state) {
  const double dark = static_cast<double>(state.range(0));
  double resumed_after = -1;
  for ([[maybe_unused]] auto _ : state) {
    testing::EnetDuel game(static_cast<uint64_t>(dark));
    if (!game.Start({0.02, 0.002, 0, 0, 0})) {
      state.SkipWithError("the game did not begin");
      return;
    }
    testing::Duel& duel = game.duel;
    game.Run(10, [&] { return duel.BothRan(300); });
    const double back = game.now() + dark;
    game.proxy.Blackout(game.now(), back);
    int64_t ran_at_back = 0;
    game.Run(
        dark + 15,
        [&] {
          if (game.now() < back) {
            ran_at_back = duel.host.session.stats().ticks_run;
            return false;
          }
          return duel.host.session.phase() == Phase::kPlaying &&
                 duel.join.session.phase() == Phase::kPlaying && duel.BothRan(ran_at_back + 1);
        },
        true);
    resumed_after = game.now() - back;
  }
  state.counters["dark_s"] = dark;
  state.counters["resumed_after_s"] = resumed_after;
}
BENCHMARK(BM_ResumptionAfterBlackout)
    ->Arg(8)
    ->Arg(15)
    ->Arg(35)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
