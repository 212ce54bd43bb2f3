// Injectable failures: a test arms an operation by name and its next calls raise the armed error.
// Also the platform's own error numbers, one per kind of failure.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/run_error.h"

namespace kraylo {

// Numbers of the platform's failures (negative, as the program's reports expect them).
enum PlatformError : int32_t {
  kErrNoVideo = -1001,         // the video subsystem or a window could not be had
  kErrBadDisplayMode = -1002,  // a size or colour depth the display cannot take
  kErrNotExclusive = -1003,    // the display needs the full-screen level first
  kErrNoSurface = -1004,       // a surface that was never made or was released
  kErrBadRect = -1005,         // a copy rectangle not wholly inside its surface
  kErrBadSurfaceSize = -1006,  // a surface of zero, negative or oversized dimensions
  kErrNoBackBuffer = -1007,    // the flipping pair has no back buffer
  kErrPresent = -1008,         // the picture could not be shown
  kErrText = -1009,            // a text could not be rendered
  kErrNoInput = -1101,         // the keyboard input system could not be had
  kErrNoDevice = -1102,        // the keyboard device could not be created
  kErrNotAcquired = -1103,     // the keyboard device is not acquired
  kErrBadWindow = -1104,       // an invalid window handle
  kErrBadArgument = -1105,     // an argument the platform operation does not take
};

class Faults {
 public:
  // Every later call of `operation` raises (number, description) until Disarm.
  void Arm(const std::string& operation, int32_t number, std::string description) {
    armed_[operation] = {number, std::move(description)};
  }
  void Disarm(const std::string& operation) { armed_.erase(operation); }
  void Clear() { armed_.clear(); }
  bool IsArmed(std::string_view operation) const { return armed_.find(operation) != armed_.end(); }

  // Called by each backend operation first thing; raises when a test armed it.
  void Check(std::string_view operation) const {
    if (armed_.empty()) return;  // the common case costs no lookup
    auto it = armed_.find(operation);
    if (it != armed_.end()) Raise(it->second.number, it->second.description);
  }

 private:
  struct Armed {
    int32_t number;
    std::string description;
  };
  std::map<std::string, Armed, std::less<>> armed_;
};

}  // namespace kraylo
