// Kraylo: a full-screen game for two players at one keyboard.
#include <cstdio>

#include "platform/run_error.h"
#include "platform/sdl/sdl_system.h"
#include "shell/program.h"

int main() {
  try {
    // The system outlives the program: the program's surfaces come from its display.
    std::unique_ptr<kraylo::System> system = kraylo::CreateSdlSystem();
    kraylo::Program program(*system);
    return system->Run(kraylo::BindEvents(program));
  } catch (const kraylo::RunError& error) {
    // Only a machine without a usable window system gets here: nothing has been changed yet.
    std::fprintf(stderr, "Kraylo: cannot start: error %d: %s\n", static_cast<int>(error.number()),
                 error.description().c_str());
    return 1;
  }
}
