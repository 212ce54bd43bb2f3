// Kraylo: a full-screen game for two players.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "online/host_reach.h"
#include "online/transport_opening.h"
#include "platform/run_error.h"
#include "platform/sdl/sdl_system.h"
#include "portmap/routers.h"
#include "shell/options.h"
#include "shell/run.h"

namespace {

// A network game's transport is opened before any window, so that a port in use or an unknown
// host is said at once.
kraylo::RunResources OpenResources(const kraylo::RunMode& mode) {
  kraylo::RunResources resources;
  if (const auto* host = std::get_if<kraylo::HostGame>(&mode)) {
    resources.transport = kraylo::ListenOn(host->port);
  } else if (const auto* join = std::get_if<kraylo::JoinGame>(&mode)) {
    resources.transport = kraylo::DialHost(join->host);
  } else if (std::holds_alternative<kraylo::CodeJoin>(mode) ||
             std::holds_alternative<kraylo::CodeWatch>(mode)) {
    resources.transport = kraylo::OpenForMeeting();
  } else if (const auto* watch = std::get_if<kraylo::WatchGame>(&mode)) {
    resources.transport = kraylo::DialHost(watch->host);
  }
  if (kraylo::IsNetworkRun(mode)) {
    // The tests' own routers on 127.0.0.1, instead of those found on the network (README).
    const char* test_router = std::getenv("KRAYLO_TEST_ROUTER");
    resources.reach = kraylo::MachineHostReach(
        test_router != nullptr ? kraylo::RoutersAt(test_router) : kraylo::RouterAddress{});
    resources.dial = kraylo::DialHost;
    resources.open_for_meeting = kraylo::OpenForMeeting;
  }
  return resources;
}

}  // namespace

int main(int argc, char** argv) {
  kraylo::Options options;
  try {
    options = kraylo::ParseOptions(kraylo::ProcessArguments(argc, argv));
  } catch (const kraylo::UsageError& error) {
    std::cerr << "kraylo: " << error.what() << "\n\n" << kraylo::UsageText();
    return 2;
  }
  if (options.help) {
    std::cout << kraylo::UsageText();
    return 0;
  }
  if (options.version) {
    std::cout << "kraylo " << kraylo::VersionText() << "\n";
    return 0;
  }
  try {
    if (const auto* check = std::get_if<kraylo::ReplayToCheck>(&options.mode)) {
      // No window: the files of the machine are all it takes.
      std::unique_ptr<kraylo::Files> files = kraylo::CreateMachineFiles();
      return kraylo::CheckReplayFile(*files, check->file, std::cout, std::cerr);
    }
    kraylo::RunResources resources = OpenResources(options.mode);
    // The system outlives the program: the program's surfaces come from its display.
    std::unique_ptr<kraylo::System> system = kraylo::CreateSdlSystem();
    return kraylo::RunProgram(*system, options, std::cerr, std::move(resources));
  } catch (const kraylo::RunError& error) {
    // Only a machine without a usable window system, or a network game that cannot begin, gets
    // here: nothing has been changed yet.
    kraylo::ShowStartError("Kraylo: cannot start: error " +
                           std::to_string(static_cast<int>(error.number())) + ": " +
                           error.description());
    return 1;
  }
}
