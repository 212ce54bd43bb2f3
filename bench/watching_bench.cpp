// What a spectator costs and how soon it sees the game: the host's extra bytes per second for each
// spectator over ENet, headers included; and a spectator joining ten minutes into a game, from
// its first word to the newest tick on its screen (the history's way over a link of 100 ms round
// trip, on the tests' clock, then its timeline built and sought, in real time).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <span>
#include <vector>

#include "net/enet_transport.h"
#include "net/watch_session.h"
#include "playback/playback.h"
#include "tests/net/duel.h"
#include "tests/net/watched_duel.h"

namespace kraylo {
namespace {

constexpr double kIpAndUdpHeaders = 28;  // bytes per datagram

// The host's wire bytes per second over a minute of play on 127.0.0.1, with `watchers`
// spectators.
double HostWireBytesPerSecond(int watchers) {
  testing::ManualClock clock;
  auto host_transport = EnetTransport::Listen(0, "127.0.0.1");
  auto join_transport = EnetTransport::Connect("127.0.0.1", host_transport->port());
  testing::Duel duel(*host_transport, *join_transport, clock, testing::Field());
  std::vector<std::unique_ptr<EnetTransport>> transports;
  std::vector<std::unique_ptr<WatchSession>> sessions;
  const auto pump = [&](double) {
    for (auto& session : sessions) session->Serve();
  };
  duel.Run(
      20, [&] { return duel.BothRan(1); }, pump);
  for (int i = 0; i < watchers; ++i) {
    transports.push_back(EnetTransport::Connect("127.0.0.1", host_transport->port()));
    sessions.push_back(std::make_unique<WatchSession>(*transports.back(), clock));
  }
  // The spectators are let in and have caught up before the minute counted.
  duel.Run(5, nullptr, pump);
  const TrafficCounts before = host_transport->traffic();
  const double start = clock.now;
  duel.Run(60, nullptr, pump);
  const TrafficCounts after = host_transport->traffic();
  const auto bytes = static_cast<double>(after.bytes_sent - before.bytes_sent);
  const auto datagrams = static_cast<double>(after.datagrams_sent - before.datagrams_sent);
  return (bytes + kIpAndUdpHeaders * datagrams) / (clock.now - start);
}

void BM_HostBytesPerSpectator(benchmark::State& state) {
  const auto watchers = static_cast<int>(state.range(0));
  double without = 0;
  double with = 0;
  for ([[maybe_unused]] auto _ : state) {
    without = HostWireBytesPerSecond(0);
    with = HostWireBytesPerSecond(watchers);
  }
  state.counters["host_wire_B/s_alone"] = without;
  state.counters["host_wire_B/s_watched"] = with;
  state.counters["extra_B/s_per_spectator"] = (with - without) / watchers;
  state.counters["share_of_1KB/s"] = (with - without) / watchers / 1024;
}
BENCHMARK(BM_HostBytesPerSpectator)->Arg(1)->Arg(4)->Iterations(1)->Unit(benchmark::kSecond);

void BM_CatchUpTenMinutes(benchmark::State& state) {
  constexpr int64_t kTenMinutes = 20'000;  // ticks of 30 ms
  double over_the_link = 0;
  double shown_after = 0;
  for ([[maybe_unused]] auto _ : state) {
    testing::WatchedDuel game;
    game.Run(660, [&] { return game.duel->BothRan(kTenMinutes); });
    testing::Spectator& spectator = game.AddSpectator(0.05);
    const auto history = static_cast<size_t>(game.duel->host.session.stats().ticks_run) - 8;
    const double asked = game.clock.now;
    game.Run(10, [&] { return spectator.session.inputs().size() >= history; });
    over_the_link = game.clock.now - asked;
    const auto start = std::chrono::steady_clock::now();
    const WatchedGame& watched = *spectator.session.game();
    Timeline timeline;
    timeline.BeginGame(watched.seed, watched.width, watched.height);
    timeline.AddTicks(std::span(spectator.session.inputs()));
    Playback playback(std::move(timeline));
    playback.SetLive(true);
    playback.ToEnd();
    benchmark::DoNotOptimize(playback.state());
    shown_after = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["history_ticks"] = static_cast<double>(kTenMinutes);
  state.counters["over_the_link_s"] = over_the_link;
  state.counters["timeline_and_seek_ms"] = shown_after * 1000;
  state.counters["catch_up_s"] = over_the_link + shown_after;
  state.counters["share_of_0.5s"] = (over_the_link + shown_after) / 0.5;
}
BENCHMARK(BM_CatchUpTenMinutes)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
