// Injectable failures for the tests: a test arms an operation of the platform and its next calls
// raise the armed error. Internal to platform/: the backends check it, the headless system hands
// it to the tests, and the program never sees it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "platform/run_error.h"

namespace kraylo {

// The platform operations a test can make fail, named after the calls the program makes.
enum class Fault {
  // Files
  kReadFile,
  kAppendFile,
  kWriteFile,
  kCreateFolders,
  // The display object and its surfaces
  kDirectDrawCreate,
  kSetCooperativeLevel,
  kSetDisplayMode,
  kRestoreDisplayMode,
  kCreatePrimarySurface,
  kCreateSurface,
  kGetAttachedSurface,
  kFlip,
  kLoadImage,  // a failing loader behaves like a bad file: an empty bitmap, never an error
  // The keyboard device
  kDirectInputCreate,
  kCreateDevice,
  kSetCommonDataFormat,
  kSetCooperativeLevelKeyboard,
  kAcquire,
  kGetDeviceState,
  // The sound output: an armed fault is the reason the output does not open
  kOpenAudio,
  kCount
};

class Faults {
 public:
  // Every later call of `operation` raises (number, description) until Disarm.
  void Arm(Fault operation, int32_t number, std::string description) {
    Slot(operation) = Armed{number, std::move(description), false};
  }
  // Every later call of `operation` runs out of memory (std::bad_alloc) until Disarm: what a
  // field too large for the machine does, without allocating gigabytes in a test.
  void ArmOutOfMemory(Fault operation) { Slot(operation) = Armed{0, "", true}; }
  void Disarm(Fault operation) { Slot(operation).reset(); }
  void Clear() { armed_.fill(std::nullopt); }
  bool IsArmed(Fault operation) const { return armed_[Index(operation)].has_value(); }

  // Called by each backend operation first thing; raises when a test armed it.
  void Check(Fault operation) const {
    const std::optional<Armed>& armed = armed_[Index(operation)];
    if (armed && armed->out_of_memory) throw std::bad_alloc();
    if (armed) Raise(armed->number, armed->description);
  }

 private:
  struct Armed {
    int32_t number;
    std::string description;
    bool out_of_memory;
  };
  static size_t Index(Fault operation) { return static_cast<size_t>(operation); }
  std::optional<Armed>& Slot(Fault operation) { return armed_[Index(operation)]; }

  std::array<std::optional<Armed>, static_cast<size_t>(Fault::kCount)> armed_{};
};

}  // namespace kraylo
