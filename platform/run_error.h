// Run-time errors: raised (thrown), never returned; every layer of the program uses them. The one
// home of every error number the program reports.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kraylo {

// Error numbers the program's own arithmetic and files raise.
enum ErrorNumber : int32_t {
  kErrInvalidArgument = 5,
  kErrOverflow = 6,
  kErrOutOfMemory = 7,
  kErrSubscript = 9,
  kErrDivisionByZero = 11,
  kErrTypeMismatch = 13,
  kErrInternal = 51,  // an exception that is not one of the program's own errors
  kErrFileNotFound = 53,
  kErrInputPastEnd = 62,
  kErrFileAccess = 75,
};

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
  kErrNetwork = -1201,         // a UDP port or a host of a network game could not be had
};

// A run-time error: a number and a description a person can act on.
class RunError : public std::exception {
 public:
  RunError(int32_t number, std::string description)
      : number_(number), description_(std::move(description)) {}
  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int32_t number_;
  std::string description_;
};

[[noreturn]] inline void Raise(int32_t number, std::string description) {
  throw RunError(number, std::move(description));
}

// Ends the program at once with an exit status. Deliberately not a std::exception, so that no
// step guard or error handler can swallow it on its way out to the window system.
struct ProgramEnd {
  int status = 0;
};

// The error mode of a procedure that goes on statement by statement: runs `step`, and a run-time
// error abandons the rest of the step and is dropped. ProgramEnd is not a run-time error and
// passes on, so the program can still end from inside a step.
template <typename Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (const RunError&) {
    // Nothing is reported, logged or retried: the next step runs.
  }
}

}  // namespace kraylo
