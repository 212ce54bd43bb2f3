// A router for the real-window tests: the tests' own UPnP IGD on 127.0.0.1, mapping every port it
// is asked for with the outside address 203.0.113.7. It prints its description URL (the program's
// KRAYLO_TEST_ROUTER), keeps what it was asked in a status file ("lease N" per mapping, then
// "removals N"), and ends by itself after the given number of seconds.
// Usage: fake_router <status file> <seconds>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/portmap/fake_routers.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fake_router <status file> <seconds>\n");
    return 2;
  }
  const std::filesystem::path status = argv[1];
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::stoi(argv[2]));
  kraylo::testing::FakeIgd router(kraylo::testing::IgdMode::kMaps, "203.0.113.7");
  std::printf("%s\n", router.description_url().c_str());
  std::fflush(stdout);
  std::string written;
  while (std::chrono::steady_clock::now() < end) {
    std::string now;
    for (const std::string& lease : router.leases()) now += "lease " + lease + "\n";
    now += "removals " + std::to_string(router.removals()) + "\n";
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
