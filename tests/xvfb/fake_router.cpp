// A router for the real-window tests, on 127.0.0.1: the tests' own UPnP IGD and, with `natpmp`, a
// NAT-PMP gateway on the protocol's port 5351 while the IGD refuses (error 718), so that the
// program's second protocol does the mapping. Either maps every port it is asked for with the
// outside address 203.0.113.7. It prints the IGD's description URL (the program's
// KRAYLO_TEST_ROUTER), keeps what it was asked in a status file ("lease N" per mapping, then
// "removals N"), and ends by itself after the given number of seconds.
// Usage: fake_router <status file> <seconds> <upnp|natpmp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "tests/portmap/fake_routers.h"

namespace kraylo::testing {
namespace {

constexpr const char* kOutside = "203.0.113.7";

// The mappings of the router that makes them: the IGD's, or (the IGD refusing) the gateway's.
std::string Status(const FakeIgd& igd, const std::optional<FakeNatpmp>& gateway) {
  std::string status;
  int removals = 0;
  if (gateway) {
    for (const uint32_t lifetime : gateway->lifetimes()) {
      if (lifetime == 0) ++removals;
      if (lifetime != 0) status += "lease " + std::to_string(lifetime) + "\n";
    }
  } else {
    for (const std::string& lease : igd.leases()) status += "lease " + lease + "\n";
    removals = igd.removals();
  }
  return status + "removals " + std::to_string(removals) + "\n";
}

}  // namespace
}  // namespace kraylo::testing

int main(int argc, char** argv) {
  using kraylo::testing::IgdMode;
  const std::string protocol = argc == 4 ? argv[3] : "";
  if (protocol != "upnp" && protocol != "natpmp") {
    std::fprintf(stderr, "usage: fake_router <status file> <seconds> <upnp|natpmp>\n");
    return 2;
  }
  const std::filesystem::path status = argv[1];
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::stoi(argv[2]));
  const bool natpmp = protocol == "natpmp";
  kraylo::testing::FakeIgd igd(natpmp ? IgdMode::kRefuses : IgdMode::kMaps,
                               kraylo::testing::kOutside);
  std::optional<kraylo::testing::FakeNatpmp> gateway;
  if (natpmp) gateway.emplace(kraylo::testing::NatpmpMode::kMaps, kraylo::testing::kOutside);
  std::printf("%s\n", igd.description_url().c_str());
  std::fflush(stdout);
  std::string written;
  while (std::chrono::steady_clock::now() < end) {
    const std::string now = kraylo::testing::Status(igd, gateway);
    if (now != written) {
      // Whole or not at all: the test reads it while the router runs.
      const std::filesystem::path part = status.string() + ".part";
      std::ofstream(part) << now;
      std::filesystem::rename(part, status);
      written = now;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}
