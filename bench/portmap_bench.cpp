// The host's waiting screen and its router: how long the screen's lines take with a router that
// answers (the fake UPnP IGD of the tests on 127.0.0.1) and with one that does not (the fake
// NAT-PMP gateway, silent), and how long until the router's line is final. The program shows the
// waiting screen from its first frame either way: the router is asked on a worker thread.
#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <thread>

#include "portmap/natpmp_router.h"
#include "portmap/port_mapping.h"
#include "portmap/upnp_router.h"
#include "tests/portmap/fake_routers.h"

namespace kraylo {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Argument 1: a UPnP router answers; 0: a NAT-PMP gateway that never answers.
void BM_WaitingScreenAndTheRoutersLine(benchmark::State& state) {
  const bool answering = state.range(0) == 1;
  double first_status_ms = 0;
  double final_ms = 0;
  for ([[maybe_unused]] auto _ : state) {
    std::optional<testing::FakeIgd> igd;
    std::optional<testing::FakeNatpmp> gateway;
    std::vector<std::unique_ptr<RouterProtocol>> routers;
    if (answering) {
      igd.emplace(testing::IgdMode::kMaps, "203.0.113.7");
      routers.push_back(MakeUpnpRouter(igd->description_url()));
    } else {
      gateway.emplace(testing::NatpmpMode::kSilent, "203.0.113.7");
      routers.push_back(MakeNatpmpRouter("127.0.0.1"));
    }
    const Clock::time_point start = Clock::now();
    PortMapping mapping(27910, std::move(routers));
    benchmark::DoNotOptimize(mapping.status());
    first_status_ms = Milliseconds(Clock::now() - start);
    // Bounded by the mapping's own deadline of two seconds, and three to be sure.
    while (mapping.status().state == MappingState::kAsking && Clock::now() - start < 3s) {
      std::this_thread::sleep_for(1ms);
    }
    final_ms = Milliseconds(Clock::now() - start);
  }
  state.counters["waiting_screen_lines_ms"] = first_status_ms;
  state.counters["routers_line_final_ms"] = final_ms;
}
BENCHMARK(BM_WaitingScreenAndTheRoutersLine)
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
