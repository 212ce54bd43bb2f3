// The frame loop's error mode: each step is guarded on its own, so a failing step ends there and
// the loop goes on with the next one.
#pragma once

#include "platform/run_error.h"

namespace kraylo {

// Runs `step`; a run-time error abandons the rest of the step and is dropped. ProgramEnd is not a
// run-time error and passes on, so the program can still end from inside a step.
template <typename Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (const RunError&) {
    // Nothing is reported, logged or retried: the next step runs.
  }
}

}  // namespace kraylo
