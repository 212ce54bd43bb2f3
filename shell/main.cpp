// Kraylo: a full-screen game for two players.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/run_error.h"
#include "platform/sdl/sdl_system.h"
#include "shell/network_match.h"
#include "shell/options.h"
#include "shell/run.h"

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
    if (!options.check_replay.empty()) {
      // No window: the files of the machine are all it takes.
      std::unique_ptr<kraylo::Files> files = kraylo::CreateMachineFiles();
      return kraylo::CheckReplayFile(*files, options.check_replay, std::cout, std::cerr);
    }
    // A port in use or an unknown host is said before any window opens.
    std::unique_ptr<kraylo::Transport> transport;
    kraylo::HostReach reach;
    // --join alone: the address is typed on the address screen, and looked up from there.
    const bool typed = options.network && !options.network->host && options.network->peer.empty();
    if (options.network) {
      if (!typed) transport = kraylo::OpenTransport(*options.network);
      // The tests' own routers on 127.0.0.1, instead of those found on the network (README).
      const char* test_router = std::getenv("KRAYLO_TEST_ROUTER");
      reach = kraylo::MachineHostReach(test_router != nullptr ? test_router : "");
    }
    // The system outlives the program: the program's surfaces come from its display.
    std::unique_ptr<kraylo::System> system = kraylo::CreateSdlSystem();
    const kraylo::Dialer dial = [](const std::string& peer, uint16_t port) {
      kraylo::NetworkOptions network;
      network.peer = peer;
      network.port = port;
      return kraylo::OpenTransport(network);
    };
    return kraylo::RunProgram(*system, options, std::cerr, std::move(transport), std::move(reach),
                              dial);
  } catch (const kraylo::RunError& error) {
    // Only a machine without a usable window system, or a network game that cannot begin, gets
    // here: nothing has been changed yet.
    kraylo::ShowStartError("Kraylo: cannot start: error " +
                           std::to_string(static_cast<int>(error.number())) + ": " +
                           error.description());
    return 1;
  }
}
