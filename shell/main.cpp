// Kraylo: a full-screen game for two players.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/run_error.h"
#include "platform/sdl/sdl_system.h"
#include "shell/network_match.h"
#include "shell/options.h"
#include "shell/program.h"

int main(int argc, char** argv) {
  kraylo::Options options;
  try {
    options = kraylo::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const kraylo::UsageError& error) {
    std::fprintf(stderr, "kraylo: %s\n\n%s", error.what(), kraylo::UsageText().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(kraylo::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("kraylo %s\n", kraylo::VersionText());
    return 0;
  }
  try {
    // A port in use or an unknown host is said before any window opens.
    std::unique_ptr<kraylo::Match> network_match;
    if (options.network) network_match = kraylo::MakeNetworkMatch(*options.network);
    // The system outlives the program: the program's surfaces come from its display.
    std::unique_ptr<kraylo::System> system = kraylo::CreateSdlSystem();
    kraylo::Program program(*system);
    if (network_match) program.match = std::move(network_match);
    return system->Run(kraylo::BindEvents(program));
  } catch (const kraylo::RunError& error) {
    // Only a machine without a usable window system, or a network game that cannot begin, gets
    // here: nothing has been changed yet.
    std::fprintf(stderr, "Kraylo: cannot start: error %d: %s\n", static_cast<int>(error.number()),
                 error.description().c_str());
    return 1;
  }
}
